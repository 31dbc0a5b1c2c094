#include "edit_log.h"

namespace kolvane {

EditLog::~EditLog() {
    // The records the document no longer holds: those taken out while the
    // change stands, those put in while it is undone.
    const Kind released = undone_ ? Kind::Link : Kind::Unlink;
    for (const Entry& entry : entries_)
        if (entry.kind == released)
            entry.actions->release(entry.address, entry.record);
}

void EditLog::undo() {
    if (undone_)
        return;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        switch (entry->kind) {
        case Kind::Field:
            std::memcpy(entry->address, bytes_.data() + entry->offset, entry->size);
            break;
        case Kind::Unlink:
            entry->actions->link(entry->address, entry->previous, entry->record);
            break;
        case Kind::Link:
            entry->actions->unlink(entry->address, entry->record);
            break;
        }
    }
    undone_ = true;
}

void EditLog::redo() {
    if (!undone_)
        return;
    for (const Entry& entry : entries_) {
        switch (entry.kind) {
        case Kind::Field:
            std::memcpy(entry.address, bytes_.data() + entry.offset + entry.size, entry.size);
            break;
        case Kind::Unlink:
            entry.actions->unlink(entry.address, entry.record);
            break;
        case Kind::Link:
            entry.actions->link(entry.address, entry.previous, entry.record);
            break;
        }
    }
    undone_ = false;
}

} // namespace kolvane
