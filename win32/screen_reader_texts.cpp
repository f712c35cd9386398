// SPDX-License-Identifier: MIT

#include "win32/screen_reader_texts.h"

#include <initguid.h>  // defines the annotation GUIDs that oleacc.h declares
#include <oleacc.h>

#include "win32/wide_text.h"

namespace vorlane {

ScreenReaderTexts::ScreenReaderTexts() {
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &services))) {
        services_ = static_cast<IAccPropServices*>(services);
    }
}

ScreenReaderTexts::~ScreenReaderTexts() {
    if (services_ == nullptr) return;
    MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    for (HWND control : described_) {
        services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, properties, 2);
    }
    services_->Release();
}

void ScreenReaderTexts::Describe(HWND control, std::u16string_view name,
                                 std::u16string_view description) {
    if (services_ == nullptr) return;
    if (!name.empty()) {
        services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                  ToWide(name).c_str());
    }
    services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                              ToWide(description).c_str());
    described_.push_back(control);
}

}  // namespace vorlane
