#pragma once

#include <cstdint>
#include <optional>

namespace velstrand {

// The bit of a reparse tag that IsReparseTagNameSurrogate tests: the reparse point stands for another entry, as a
// junction, a symbolic link or WSL's link does, and so will any tag of that kind Windows brings later.
inline constexpr std::uint32_t kNameSurrogateTag = 0x20000000;

// What the file system answered about an entry it opened as itself, its links not followed.
struct EntryAnswers {
    struct Tagged {
        std::uint32_t attributes = 0;
        std::uint32_t reparseTag = 0;
    };
    // FileAttributeTagInfo, which FAT32 and exFAT do not answer.
    std::optional<Tagged> tagged;
    // FileBasicInfo's attributes, which every file system answers; asked only when `tagged` has no answer.
    std::optional<std::uint32_t> basicAttributes;

    // The entry's attribute bits, from whichever query answered.
    std::optional<std::uint32_t> Attributes() const;
};

// What an entry below the game folder is to a deletion that would pass through it or delete it.
enum class EntryNature {
    // A file or folder of its own, through which nothing leads elsewhere. A reparse point that is no name surrogate
    // is one too: a file the player compressed (WOF), one deduplication shares, one a storage or cloud service keeps.
    Ordinary,
    // A link: a reparse point whose tag is a name surrogate.
    Link,
    // A reparse point whose tag is not told, or an entry the file system says nothing about: it may be a link.
    Unknown,
};

// The decision from the answers alone: neither the error that a query failed with nor the volume's flags say more
// (Wine reports no reparse points on any volume, and yet lists its links with the reparse-point bit).
EntryNature NatureOf(const EntryAnswers& answers);

}  // namespace velstrand
