// Runs a real modal dialog on the test's thread while a second thread drives it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "support/dialog_driving.h"

namespace wbh::test {

// `run` runs the modal dialog captioned `caption` while `drive` gets it on a second thread. A
// dialog still open afterwards is a failure and is ended by a click on `end_id`, so a failing
// test never hangs.
inline void WithDialog(const wchar_t* caption, int end_id, const std::function<void()>& run,
                       const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = WaitForDialog(caption);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog did not appear";
            return;
        }
        drive(dialog);
        if (IsWindow(dialog)) {
            ADD_FAILURE() << "the dialog is still open";
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(end_id, BN_CLICKED), 0);
        }
    });
    run();
    driver.join();
}

}  // namespace wbh::test
