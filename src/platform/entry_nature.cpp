#include "platform/entry_nature.h"

#include "platform/runtime_services.h"

namespace velstrand {

std::optional<std::uint32_t> EntryAnswers::Attributes() const {
    return tagged ? std::optional<std::uint32_t>(tagged->attributes) : basicAttributes;
}

EntryNature NatureOf(const EntryAnswers& answers) {
    if (answers.tagged) {
        if ((answers.tagged->attributes & attribute::kReparsePoint) == 0) {
            return EntryNature::Ordinary;
        }
        // Tag 0 is reserved and set by no file system: such an answer tells nothing of what the point is.
        if (answers.tagged->reparseTag == 0) {
            return EntryNature::Unknown;
        }
        return (answers.tagged->reparseTag & kNameSurrogateTag) != 0 ? EntryNature::Link : EntryNature::Ordinary;
    }
    // FAT32 and exFAT: only the reparse-point bit is told, which such a volume never sets.
    if (answers.basicAttributes && (*answers.basicAttributes & attribute::kReparsePoint) == 0) {
        return EntryNature::Ordinary;
    }
    return EntryNature::Unknown;
}

}  // namespace velstrand
