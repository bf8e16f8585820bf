// The main dialog from the program's own resource, created modeless on the test's thread,
// recorded as dialog_handle so that the feedback services reach it.
#pragma once

#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

class RealDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), nullptr,
                                     plain_proc, 0);
        ASSERT_NE(dialog_, nullptr) << "error " << GetLastError();
        dialog_handle = dialog_;
        clear_abort();
    }
    void TearDown() override {
        dialog_handle = nullptr;
        if (dialog_ != nullptr) {
            DestroyWindow(dialog_);
        }
    }

    int console_count() const {
        return static_cast<int>(SendDlgItemMessageA(dialog_, 108, LB_GETCOUNT, 0, 0));
    }
    std::string console_line(int index) const {
        char text[512] = {};
        SendDlgItemMessageA(dialog_, 108, LB_GETTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text));
        return text;
    }

    HWND dialog_ = nullptr;

  private:
    static INT_PTR CALLBACK plain_proc(HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
};
