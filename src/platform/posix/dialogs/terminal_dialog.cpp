// The terminal dialog keeps the state a Win32 dialog keeps in its controls (check, enabled,
// text) and applies the same automatic behaviour: a radio button checks itself and unchecks
// the others of its group, a check box toggles, and only then is the handler told.
#include "platform/posix/dialogs/terminal_dialog.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/posix/dialogs/dialog_manager.h"
#include "platform/posix/dialogs/dialog_styles.h"
#include "platform/posix/dialogs/window_module.h"
#include "platform/posix/dialogs/window_process.h"
#include "platform/posix/system_calls.h"

namespace wbh::platform {
namespace {

using namespace styles;

constexpr std::size_t kWidth = 76;               // columns of wrapped text
constexpr std::size_t kLongestLine = 64 * 1024;  // longer input lines are cut here
// How long the window's process may take to open its window (trying the displays takes up to
// five seconds, GTK on a forwarded display one or two more) or to answer a question.
constexpr int kWindowAnswerMs = 30000;

using dialog_manager::ControlKind;

struct Control {
    const ControlTemplate* layout;
    ControlKind kind;  // an edit control is a box when it takes input, else text
    bool checked = false;
    bool enabled = true;
    std::string text;
    int choice = 0;  // the number the reader types, 0 for controls that take no input
};

// The terminal shows an edit control that takes no input as text, and takes one line for one
// that does, whatever its number of lines.
ControlKind KindOf(const ControlTemplate& layout) {
    const ControlKind kind = dialog_manager::KindOf(layout);
    if (kind != ControlKind::kNotice && kind != ControlKind::kBox) return kind;
    return dialog_manager::Editable(layout) ? ControlKind::kBox : ControlKind::kText;
}

// The text with every control character shown as its picture (U+2400 to U+241F, U+2421 for
// DEL): a name from a parameters file must not retitle, recolour or otherwise drive the
// reader's terminal. Line breaks are the caller's to handle first.
std::string Visible(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        if (c >= '\0' && c < ' ') {
            shown += "\xE2\x90";
            shown += static_cast<char>(0x80 + c);
        } else if (c == '\x7f') {
            shown += "\xE2\x90\xA1";
        } else {
            shown += c;
        }
    }
    return shown;
}

std::size_t Columns(const std::string& text) {
    // UTF-8: every byte but a continuation byte starts a character.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Splits at CR LF or LF, then wraps each line at blanks to fit `width` columns.
std::vector<std::string> Wrap(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string current;
        std::size_t word_start = 0;
        while (word_start <= line.size()) {
            std::size_t word_end = line.find(' ', word_start);
            if (word_end == std::string::npos) word_end = line.size();
            const std::string word = line.substr(word_start, word_end - word_start);
            if (!current.empty() && Columns(current) + 1 + Columns(word) > width) {
                lines.push_back(current);
                current.clear();
            }
            current += current.empty() ? word : " " + word;
            word_start = word_end + 1;
        }
        lines.push_back(current);
        start = end + 1;
    }
    return lines;
}

class TerminalDialog final : public Dialog {
public:
    TerminalDialog(const DialogTemplate& layout, DialogHandler& handler, std::FILE* in,
                   std::FILE* out)
        : layout_(layout), handler_(handler), in_(in), out_(out) {
        int next_choice = 1;
        for (const ControlTemplate& control : layout.controls) {
            const ControlKind kind = KindOf(control);
            const bool takes_input = kind == ControlKind::kRadio ||
                                     kind == ControlKind::kCheckBox || kind == ControlKind::kBox ||
                                     kind == ControlKind::kButton;
            controls_.push_back({&control, kind, false, (control.style & kDisabled) == 0,
                                 control.text, takes_input ? next_choice++ : 0});
        }
    }

    void Check(int id, bool checked) override {
        if (Control* control = Find(id)) control->checked = checked;
    }
    bool IsChecked(int id) override {
        const Control* control = Find(id);
        return control != nullptr && control->checked;
    }
    void Enable(int id, bool enabled) override {
        if (Control* control = Find(id)) control->enabled = enabled;
    }
    void SetText(int id, const char* text) override {
        if (Control* control = Find(id)) control->text = text;
    }
    int GetText(int id, char* buffer, int size) override {
        const Control* control = Find(id);
        return dialog_manager::CopyText(control != nullptr ? control->text : "", buffer, size);
    }
    void End(int result) override {
        ended_ = true;
        result_ = result;
    }
    // A terminal has no screen position: the dialog stays where the text is.
    WindowRect Bounds() override { return {0, 0, 0, 0}; }
    ScreenSize Screen() override { return {0, 0}; }
    void Move(int, int, int, int) override {}
    void Focus(int) override {}  // a terminal asks in its own order

    long Run() {
        handler_.OnInit(*this);
        if (!ended_) ShowAll();
        while (!ended_) {
            std::fprintf(out_, "Tapez le numéro d'un choix, ou Entrée seule pour « %s » : ",
                         DefaultLabel().c_str());
            std::fflush(out_);
            std::string line;
            if (!ReadLine(line) || !Act(line)) {
                std::fprintf(out_, "\n(fin de l'entrée : la fenêtre se ferme sans réponse)\n");
                std::fflush(out_);
                return -1;
            }
            if (!ended_) ShowChoices();
        }
        return result_;
    }

private:
    // The whole dialog: caption, then every control from top to bottom, as laid out.
    void ShowAll() {
        std::fprintf(out_, "\n=== %s ===\n", Visible(layout_.caption).c_str());
        bool after_text = false;
        for (const Control* control : InLayoutOrder()) {
            switch (control->kind) {
                case ControlKind::kText:
                    ShowText(*control);
                    after_text = true;
                    break;
                case ControlKind::kGroupBox:
                    std::fprintf(out_, "\n-- %s --\n", Label(*control).c_str());
                    after_text = false;
                    break;
                default:
                    if (after_text) std::fprintf(out_, "\n");
                    ShowChoice(*control);
                    after_text = false;
                    break;
            }
        }
        std::fflush(out_);
    }

    // Only what the reader can change: the choices and the default button.
    void ShowChoices() {
        std::fprintf(out_, "\n");
        for (const Control* control : InLayoutOrder()) {
            if (control->kind != ControlKind::kText && control->kind != ControlKind::kGroupBox) {
                ShowChoice(*control);
            }
        }
        std::fflush(out_);
    }

    // One line of input; false when the input ended before the action was complete.
    bool Act(const std::string& line) {
        if (line.empty()) {
            PressDefault();
            return true;
        }
        Control* chosen = nullptr;
        for (Control& control : controls_) {
            if (control.choice != 0 && std::to_string(control.choice) == line) chosen = &control;
        }
        if (chosen == nullptr) {
            handler_.OnCommand(*this, kCancel, kClicked);
            return true;
        }
        if (!chosen->enabled) {
            SayUnavailable(*chosen);
            return true;
        }
        const int id = chosen->layout->id;
        switch (chosen->kind) {
            case ControlKind::kRadio:
                ClickRadio(*chosen);
                handler_.OnCommand(*this, id, kClicked);
                break;
            case ControlKind::kCheckBox:
                chosen->checked = !chosen->checked;
                handler_.OnCommand(*this, id, kClicked);
                break;
            case ControlKind::kBox: {
                std::fprintf(out_, "Nouveau texte : ");
                std::fflush(out_);
                std::string text;
                if (!ReadLine(text)) return false;
                chosen->text = text;
                handler_.OnCommand(*this, id, kEditChanged);
                break;
            }
            default:
                handler_.OnCommand(*this, id, kClicked);
                break;
        }
        return true;
    }

    // One line without its line break; false at the end of the input.
    bool ReadLine(std::string& line) {
        line.clear();
        bool any = false;
        for (int c = posix::Sys().fgetc(in_); c != EOF; c = posix::Sys().fgetc(in_)) {
            any = true;
            if (c == '\n') break;
            if (line.size() < kLongestLine) line.push_back(static_cast<char>(c));
        }
        if (!any) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a line from Windows
        // Typed input shows on the terminal; input from a file or a pipe is echoed, so that
        // the transcript reads as the exchange it was.
        if (!isatty(fileno(in_))) std::fprintf(out_, "%s\n", Visible(line).c_str());
        return true;
    }

    Control* Find(int id) {
        for (Control& control : controls_) {
            if (control.layout->id == id) return &control;
        }
        return nullptr;
    }

    std::vector<const Control*> InLayoutOrder() const {
        std::vector<const Control*> order;
        for (const Control& control : controls_) order.push_back(&control);
        std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
            return a->layout->y != b->layout->y ? a->layout->y < b->layout->y
                                                : a->layout->x < b->layout->x;
        });
        return order;
    }

    Control* DefaultButton() {
        const std::size_t index = dialog_manager::DefaultButton(layout_);
        return index < controls_.size() ? &controls_[index] : nullptr;
    }

    std::string DefaultLabel() {
        const Control* button = DefaultButton();
        return button != nullptr ? Label(*button) : "";
    }

    // The control's text on one line, as it can be shown.
    static std::string Label(const Control& control) {
        std::string label = control.text;
        std::replace(label.begin(), label.end(), '\n', ' ');
        return Visible(label);
    }

    void ShowText(const Control& control) {
        const bool box = EqualsNoCase(control.layout->class_name.c_str(), "EDIT");
        const bool centred = !box && (control.layout->style & kCentred) != 0;
        std::fprintf(out_, "\n");
        for (const std::string& line : Wrap(control.text, kWidth - (box ? 4 : 0))) {
            const std::size_t columns = Columns(line);
            const std::size_t indent = box                           ? 2
                                       : centred && columns < kWidth ? (kWidth - columns) / 2
                                                                     : 0;
            std::fprintf(out_, "%*s%s\n", static_cast<int>(indent), "", Visible(line).c_str());
        }
    }

    // The dialog's own hint for a disabled control, after " : ", or nothing.
    std::string Hint(const Control& control) const {
        const char* hint = handler_.UnavailableHint(control.layout->id);
        return hint != nullptr ? std::string(" : ") + hint : std::string();
    }

    void SayUnavailable(const Control& control) {
        std::fprintf(out_, "« %s » n'est pas disponible%s.\n", Label(control).c_str(),
                     Hint(control).c_str());
    }

    void ShowChoice(const Control& control) {
        const char* state = "";
        if (control.kind == ControlKind::kRadio) state = control.checked ? "(*) " : "( ) ";
        if (control.kind == ControlKind::kCheckBox) state = control.checked ? "[x] " : "[ ] ";
        const std::string unavailable =
            control.enabled ? "" : "  (indisponible" + Hint(control) + ")";
        if (control.kind == ControlKind::kDefaultButton) {
            std::fprintf(out_, "  Entrée  [ %s ]%s\n", Label(control).c_str(), unavailable.c_str());
            return;
        }
        if (control.kind == ControlKind::kBox) {
            std::fprintf(out_, "  %d  « %s »%s\n", control.choice, Label(control).c_str(),
                         unavailable.c_str());
            return;
        }
        const std::vector<std::string> lines = Wrap(control.text, kWidth - 9);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i == 0) {
                std::fprintf(out_, "  %d  %s%s", control.choice, state, Visible(lines[i]).c_str());
            } else {
                std::fprintf(out_, "\n         %s", Visible(lines[i]).c_str());
            }
        }
        std::fprintf(out_, "%s\n", unavailable.c_str());
    }

    void ClickRadio(Control& clicked) {
        dialog_manager::ClickRadio(layout_, static_cast<std::size_t>(&clicked - controls_.data()),
                                   [&](std::size_t i) { controls_[i].checked = false; });
        clicked.checked = true;
    }

    void PressDefault() {
        Control* button = DefaultButton();
        if (button == nullptr) return;
        if (!button->enabled) {
            SayUnavailable(*button);
            return;
        }
        handler_.OnCommand(*this, button->layout->id, kClicked);
    }

    const DialogTemplate& layout_;
    DialogHandler& handler_;
    std::FILE* in_;
    std::FILE* out_;
    std::vector<Control> controls_;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace

long RunTerminalDialog(const DialogTemplate& layout, DialogHandler& handler, std::FILE* in,
                       std::FILE* out) {
    return TerminalDialog(layout, handler, in, out).Run();
}

long RunModalDialog(int template_id, DialogHandler& handler) {
    // Out of memory, the dialog is one that could not be made (or shown to its end).
    return NoThrow(-1L, [&] {
        const auto& dialogs = ProgramResources().dialogs;
        const auto found = dialogs.find(template_id);
        if (found == dialogs.end()) return -1L;
        // A window on a graphical desktop; the terminal without one (or when it cannot open,
        // or GTK is not on the machine).
        if (posix::DisplayNamed()) {
            const long result = posix::RunWindowProcess(found->second, handler,
                                                        posix::LoadWindowModule, kWindowAnswerMs);
            if (result != posix::kNoWindow) return result;
        }
        return RunTerminalDialog(found->second, handler, stdin, stdout);
    });
}

}  // namespace wbh::platform
