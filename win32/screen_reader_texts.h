// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace vorlane {

// Names and descriptions that screen readers read for controls, given through
// the system's dynamic annotation (oleacc); COM must be initialised on the
// thread. Where the system offers no annotation, the controls keep what they
// say of themselves. The annotations go when this object goes, which must be
// before the controls are destroyed.
class ScreenReaderTexts {
public:
    ScreenReaderTexts();
    ~ScreenReaderTexts();
    ScreenReaderTexts(const ScreenReaderTexts&) = delete;
    ScreenReaderTexts& operator=(const ScreenReaderTexts&) = delete;

    // An empty `name` leaves the control's own name (a button's caption).
    void Describe(HWND control, std::u16string_view name, std::u16string_view description);

private:
    IAccPropServices* services_ = nullptr;
    std::vector<HWND> described_;
};

}  // namespace vorlane
