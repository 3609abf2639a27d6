// A dialog in memory, for dialog logic without a toolkit: the controls of one template with
// their states, the end result and the moves. A call on a control the template lacks fails.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "platform/dialog.h"

namespace wbh::test {

class FakeDialog : public platform::Dialog {
public:
    struct Control {
        bool checked = false;
        bool enabled = true;
        std::string text;
    };

    explicit FakeDialog(std::initializer_list<int> ids) {
        for (int id : ids) controls[id] = Control();
    }

    void Check(int id, bool checked) override { At(id).checked = checked; }
    bool IsChecked(int id) override { return At(id).checked; }
    void Enable(int id, bool enabled) override { At(id).enabled = enabled; }
    void SetText(int id, const char* text) override { At(id).text = text; }
    int GetText(int id, char* buffer, int size) override {
        const std::string& whole = At(id).text;
        const std::string text =
            whole.substr(0, utf8::Prefix(whole, whole.size(), static_cast<std::size_t>(size - 1)));
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<int>(text.size());
    }
    void End(int result) override { ended = result; }
    void Focus(int id) override {
        At(id);
        focused = id;
    }
    platform::WindowRect Bounds() override { return bounds; }
    platform::ScreenSize Screen() override { return screen; }
    void Move(int x, int y, int width, int height) override {
        moves.push_back({x, y, x + width, y + height});
    }

    Control& At(int id) {
        if (controls.count(id) == 0) ADD_FAILURE() << "no control " << id;
        return controls[id];
    }

    std::map<int, Control> controls;
    std::optional<int> ended;
    int focused = 0;
    platform::WindowRect bounds{0, 0, 450, 490};
    platform::ScreenSize screen{1024, 768};
    std::vector<platform::WindowRect> moves;
};

}  // namespace wbh::test
