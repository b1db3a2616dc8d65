#include "platform/win32/start_attributes.h"

namespace velstrand {

std::optional<DWORD64> MitigationPolicyFor(StartStyle style) {
    if (style != StartStyle::Hidden) {
        return std::nullopt;
    }
    return PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_PREFER_SYSTEM32_ALWAYS_ON;
}

StartAttributes::StartAttributes(std::optional<DWORD64> mitigationPolicy) {
    if (!mitigationPolicy) {
        return;
    }
    policy_ = *mitigationPolicy;
    SIZE_T size = 0;
    // The first call only says how large the list must be, and fails doing so.
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    if (size == 0) {
        return;
    }
    buffer_ = std::make_unique<std::byte[]>(size);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.get());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        return;
    }
    if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_MITIGATION_POLICY, &policy_, sizeof(policy_),
                                     nullptr, nullptr)) {
        ::DeleteProcThreadAttributeList(list);
        return;
    }
    list_ = list;
}

StartAttributes::~StartAttributes() {
    if (list_ != nullptr) {
        ::DeleteProcThreadAttributeList(list_);
    }
}

std::optional<DWORD64> StartAttributes::MitigationPolicy() const {
    if (list_ == nullptr) {
        return std::nullopt;
    }
    return policy_;
}

}  // namespace velstrand
