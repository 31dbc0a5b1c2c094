#include "exchange/ofx_reader.h"

#include "document/text.h"
#include "exchange/statement_text.h"

#include <algorithm>
#include <charconv>

namespace kolvane {
namespace {

std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return upper;
}

// The encoding the header declares, checked against the bytes: a header
// saying 1252 over valid UTF-8 is a common slip of bank servers.
TextEncoding declaredEncoding(std::string_view bytes) {
    const std::size_t firstTag = bytes.find('<');
    const std::string header = upperAscii(bytes.substr(0, firstTag));
    const bool sgml = header.find("OFXHEADER") != std::string::npos;
    std::string xmlDeclaration;
    if (!sgml && firstTag != std::string_view::npos) {
        const std::size_t end = bytes.find("?>", firstTag);
        xmlDeclaration =
            upperAscii(bytes.substr(firstTag, end == std::string_view::npos ? 0 : end - firstTag));
    }
    const bool says1252 = sgml ? header.find("ENCODING:UTF-8") == std::string::npos
                               : xmlDeclaration.find("1252") != std::string::npos ||
                                     xmlDeclaration.find("8859") != std::string::npos;
    if (!says1252)
        return TextEncoding::Utf8;
    return guessEncoding(bytes);
}

void appendEntity(std::string& out, std::string_view entity) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", '\xA0'}};
    for (auto [name, c] : kNamed)
        if (entity == name) {
            out += c;
            return;
        }
    if (entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x' || entity[1] == 'X';
        std::string_view digits = entity.substr(hex ? 2 : 1);
        unsigned value = 0;
        auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
        if (ec == std::errc() && end == digits.data() + digits.size() && value > 0 &&
            value <= 0x10FFFF) {
            std::string utf8;
            appendUtf8(utf8, value);
            out += utf8ToCp1252(utf8);
            return;
        }
    }
    out += '&';
    out += entity;
    out += ';';
}

std::string decodeEntities(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const std::size_t end = text.find(';', i);
            if (end != std::string_view::npos && end - i <= 10) {
                appendEntity(out, text.substr(i + 1, end - i - 1));
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

enum class TokenKind { Open, Close, Text, End };
struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view name; // tags
    std::string_view text; // text
    int line = 0;
};

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    bool next(Token& token, ReadError& error) {
        for (;;) {
            skipBlanks();
            token.line = line_;
            if (pos_ >= text_.size()) {
                token.kind = TokenKind::End;
                return true;
            }
            if (text_[pos_] != '<') {
                std::size_t end = text_.find('<', pos_);
                if (end == std::string_view::npos)
                    end = text_.size();
                token.kind = TokenKind::Text;
                token.text = text_.substr(pos_, end - pos_);
                advanceTo(end);
                return true;
            }
            if (text_.substr(pos_).starts_with("<!--")) {
                const std::size_t end = text_.find("-->", pos_);
                if (end == std::string_view::npos)
                    return fail(error, "commentaire non fermé");
                advanceTo(end + 3);
                continue;
            }
            const std::size_t end = text_.find('>', pos_);
            const std::size_t nextOpen = text_.find('<', pos_ + 1);
            if (end == std::string_view::npos || nextOpen < end)
                return fail(error, "balise non fermée");
            std::string_view inside = text_.substr(pos_ + 1, end - pos_ - 1);
            advanceTo(end + 1);
            if (inside.starts_with('?') || inside.starts_with('!'))
                continue; // XML declaration, OFX processing instruction
            const bool closing = inside.starts_with('/');
            if (closing)
                inside.remove_prefix(1);
            const bool empty = !closing && inside.ends_with('/');
            if (empty)
                inside.remove_suffix(1);
            inside = inside.substr(0, inside.find_first_of(" \t\r\n"));
            if (inside.empty())
                return fail(error, "balise vide");
            token.kind = closing ? TokenKind::Close : TokenKind::Open;
            token.name = inside;
            if (empty)
                pendingClose_ = inside;
            return true;
        }
    }

    // An element written <NAME/> gives its closing tag next.
    bool takePendingClose(Token& token) {
        if (pendingClose_.empty())
            return false;
        token.kind = TokenKind::Close;
        token.name = pendingClose_;
        token.line = line_;
        pendingClose_ = {};
        return true;
    }

    int line() const { return line_; }

  private:
    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\n'))
            advanceTo(pos_ + 1);
    }
    void advanceTo(std::size_t to) {
        line_ += static_cast<int>(std::count(text_.begin() + pos_, text_.begin() + to, '\n'));
        pos_ = to;
    }
    bool fail(ReadError& error, const char* reason) {
        error = {line_, reason};
        return false;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string_view pendingClose_;
};

struct RowFields {
    bool open = false;
    bool hasDate = false;
    bool hasAmount = false;
    std::string name;
    StatementRow row;
};

bool setLeaf(std::string_view tag, std::string value, int line, RowFields& current,
             StatementAccount& account, ReadError& error) {
    if (tag == "BANKID")
        account.bankId = value;
    else if (tag == "BRANCHID")
        account.branchId = value;
    else if (tag == "ACCTID")
        account.accountId = value;
    if (!current.open)
        return true;
    StatementRow& row = current.row;
    if (tag == "DTPOSTED") {
        const bool digits =
            value.size() >= 8 && std::all_of(value.begin(), value.begin() + 8,
                                             [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || !parseStatementDate(std::string_view(value).substr(0, 8),
                                           DateOrder::YearMonthDay, row.date)) {
            error = {line, "date DTPOSTED invalide « " + cp1252ToUtf8(value) + " »"};
            return false;
        }
        current.hasDate = true;
    } else if (tag == "TRNAMT") {
        if (!parseStatementAmount(value, 0, row.amount)) {
            error = {line, "montant TRNAMT invalide « " + cp1252ToUtf8(value.substr(0, 40)) + " »"};
            return false;
        }
        current.hasAmount = true;
    } else if (tag == "NAME") {
        current.name = tidyText(value);
    } else if (tag == "MEMO") {
        row.memo = tidyText(value);
    } else if (tag == "CHECKNUM") {
        row.number = tidyText(value);
    } else if (tag == "TRNTYPE") {
        row.kind = tidyText(value);
    } else if (tag == "FITID") {
        row.bankReference = tidyText(value);
    }
    return true;
}

bool endRow(RowFields& current, int line, Statement& statement, ReadError& error) {
    if (!current.hasDate || !current.hasAmount) {
        error = {line, current.hasDate ? "opération sans montant (TRNAMT)"
                                       : "opération sans date (DTPOSTED)"};
        return false;
    }
    current.row.label = current.name.empty() ? current.row.memo : current.name;
    statement.rows.push_back(std::move(current.row));
    current = RowFields{};
    return true;
}

} // namespace

bool readOfx(std::span<const std::uint8_t> bytes, Statement& statement, ReadError& error) {
    if (bytes.size() > kMaxStatementBytes) {
        error = {0, "fichier trop volumineux"};
        return false;
    }
    const std::string_view raw = asText(bytes);
    std::string text;
    if (!decodeStatementText(raw, declaredEncoding(raw), text, error))
        return false;
    Statement read;
    Tokenizer tokenizer(text);
    std::vector<std::string_view> open; // aggregates
    RowFields current;
    bool sawRoot = false;
    Token token, following;
    bool haveFollowing = false;
    auto advance = [&](Token& into) {
        if (haveFollowing) {
            into = following;
            haveFollowing = false;
            return true;
        }
        if (tokenizer.takePendingClose(into))
            return true;
        return tokenizer.next(into, error);
    };
    for (;;) {
        if (!advance(token))
            return false;
        if (token.kind == TokenKind::End)
            break;
        if (token.kind == TokenKind::Text) {
            if (!sawRoot)
                continue; // text before the first element (a stray header)
            error = {token.line, "texte hors d'un élément"};
            return false;
        }
        if (token.kind == TokenKind::Open) {
            if (!sawRoot) {
                if (token.name != "OFX") {
                    error = {token.line, "ce n'est pas un relevé OFX (élément <OFX> attendu)"};
                    return false;
                }
                sawRoot = true;
            }
            if (!advance(following))
                return false;
            haveFollowing = true;
            if (following.kind == TokenKind::Text) {
                // A leaf: its value, then in XML its closing tag.
                haveFollowing = false;
                if (!setLeaf(token.name, tidyText(decodeEntities(following.text)), token.line,
                             current, read.account, error))
                    return false;
                if (!advance(following))
                    return false;
                haveFollowing =
                    !(following.kind == TokenKind::Close && following.name == token.name);
                continue;
            }
            if (following.kind == TokenKind::Close && following.name == token.name) {
                haveFollowing = false; // an empty element
                continue;
            }
            if (token.name == "STMTTRN") {
                if (current.open) {
                    error = {token.line, "<STMTTRN> dans une autre opération"};
                    return false;
                }
                current.open = true;
                current.row.line = token.line;
            }
            open.push_back(token.name);
            continue;
        }
        // A closing tag ends its aggregate and any unclosed one inside it.
        auto match = std::find(open.rbegin(), open.rend(), token.name);
        if (match == open.rend()) {
            error = {token.line, "balise </" + cp1252ToUtf8(token.name) + "> sans ouverture"};
            return false;
        }
        const bool closesRow = std::find(open.rbegin(), match + 1, "STMTTRN") != match + 1;
        open.erase(match.base() - 1, open.end());
        if (closesRow && !endRow(current, token.line, read, error))
            return false;
    }
    if (!sawRoot) {
        error = {0, "ce n'est pas un relevé OFX (élément <OFX> absent)"};
        return false;
    }
    if (!open.empty()) {
        error = {tokenizer.line(),
                 "fichier tronqué : </" + cp1252ToUtf8(open.back()) + "> manquant"};
        return false;
    }
    statement = std::move(read);
    return true;
}

} // namespace kolvane
