#pragma once

#include <cstddef>
#include <string>

namespace velstrand {

// Text from a call that fills a buffer of a given size and returns how many characters it wrote, where text cut
// short fills the buffer exactly (as GetModuleFileNameW does): the buffer doubles until the text fits, however long
// it is. Empty text when the call writes nothing.
template <typename Read>
std::wstring ReadGrowing(Read read) {
    std::wstring text(260, L'\0');
    for (;;) {
        const std::size_t length = read(text.data(), text.size());
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace velstrand
