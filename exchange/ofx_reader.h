// OFX statements: 1.x (SGML headers, elements left unclosed, Windows-1252 or
// UTF-8 as the header says) and 2.x (XML). Reads every STMTTRN of the file
// and the bank account of its BANKACCTFROM (or CCACCTFROM).
#pragma once

#include "exchange/statement.h"

namespace kolvane {

[[nodiscard]] bool readOfx(std::span<const std::uint8_t> bytes, Statement& statement, ReadError& error);

} // namespace kolvane
