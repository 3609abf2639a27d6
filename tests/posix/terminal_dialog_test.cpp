// The terminal dialog on the real consent template: what each input line does and shows.
#include "platform/posix/dialogs/terminal_dialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "consent/consent_dialog.h"
#include "support/registry_sandbox.h"

namespace wbh::platform {
namespace {

// Runs the dialog on `input`; returns its result, with the transcript in `shown`.
long Drive(const DialogTemplate& layout, DialogHandler& handler, const std::string& input,
           std::string& shown) {
    std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    const long result = RunTerminalDialog(layout, handler, in, out);
    std::fclose(out);
    std::fclose(in);
    shown.assign(text, size);
    std::free(text);
    return result;
}

TEST(TerminalDialog, AnswersTheConsentDialog) {
    const DialogTemplate& consent = ProgramResources().dialogs.at(consent_dialog::kTemplate);
    const struct {
        std::string input;
        long result;
        std::int32_t accepted;  // ReaderAccepted afterwards, 7 before
        const char* shown;      // a piece of the transcript
    } rows[] = {
        {"1\r\n2\r\n\r\n", 1, 0, "( ) Oui, je l'accepte."},  // lines from Windows
        {"\n", -1, 7, "« Continuer » n'est pas disponible : choisissez d'abord une réponse."},
        {"", -1, 7, "(indisponible : choisissez d'abord une réponse)"},
        {"9\nOui\n1", -1, 7, "» : 1\n\n  1  (*) Oui"},  // input echoed; no Enter: no answer
        {std::string(1 << 20, '1') + "\n2\n\n", 1, 0, "(*) Non"},  // a long line is a line
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input.substr(0, 20));
        test::RegistrySandbox sandbox;
        std::int32_t accepted = 7;
        ConsentDialog handler(accepted);
        std::string shown;
        EXPECT_EQ(row.result, Drive(consent, handler, row.input, shown));
        EXPECT_EQ(row.accepted, accepted);
        EXPECT_NE(std::string::npos, shown.find(row.shown)) << shown;
        EXPECT_LT(shown.size(), 128u * 1024) << "a long line is echoed cut";
    }
}

// A blank line sets a text apart from the choice below it, and nothing else does. A text fills
// the 76 columns, and a word that would not fit goes to the next line.
TEST(TerminalDialog, SetsTextsApartFromTheChoicesBelow) {
    const auto control = [](int id, const char* class_name, std::uint32_t style, std::string text) {
        return ControlTemplate{id, class_name, 0x50000000 | style, 0, 0, 9, 9, text};
    };
    DialogTemplate layout{};
    layout.caption = "c";
    const std::string full_line = std::string(70, 't') + " uuuuu";
    // Check boxes (3), a text, a group box (7) and a default button (1).
    layout.controls = {control(0, "BUTTON", 3, "a"), control(0, "STATIC", 0, full_line + " v"),
                       control(0, "BUTTON", 3, "b"), control(0, "BUTTON", 7, "g"),
                       control(0, "BUTTON", 3, "c"), control(0, "BUTTON", 1, "d")};
    struct : DialogHandler {
        void OnInit(Dialog&) override {}
        void OnCommand(Dialog&, int, int code) override { codes += std::to_string(code); }
        std::string codes;
    } handler;
    std::string shown;
    EXPECT_EQ(-1, Drive(layout, handler, "", shown));
    EXPECT_EQ("\n=== c ===\n  1  [ ] a\n\n" + full_line +
                  "\nv\n\n  2  [ ] b\n\n-- g --\n  3  [ ] c\n  Entrée  [ d ]\n",
              shown.substr(0, shown.find("Tapez")));
    // A check box taken is clicked, and the handler is told.
    EXPECT_EQ(-1, Drive(layout, handler, "1\n", shown));
    EXPECT_NE(std::string::npos, shown.find("  1  [x] a")) << shown;
    EXPECT_EQ("0", handler.codes);
    // An edit control takes a line when it takes input, whatever its number of lines, and is
    // text when it takes none (read-only 0x800, multi-line 4).
    layout.controls = {control(1, "EDIT", 4, "m"), control(2, "EDIT", 0x800, "r")};
    EXPECT_EQ(-1, Drive(layout, handler, "", shown));
    EXPECT_EQ("\n=== c ===\n  1  « m »\n\n  r\n", shown.substr(0, shown.find("Tapez")));
    // A text typed into a box is told as a change (EN_CHANGE), as Windows tells it.
    handler.codes.clear();
    EXPECT_EQ(-1, Drive(layout, handler, "1\nnouveau\n", shown));
    EXPECT_EQ("768", handler.codes);
    // A disabled choice's number is answered, not taken.
    layout.controls[0] = control(1, "BUTTON", 0x08000003, "off");  // WS_DISABLED
    EXPECT_EQ(-1, Drive(layout, handler, "1\n", shown));
    EXPECT_NE(std::string::npos, shown.find("« off » n'est pas disponible.")) << shown;
    EXPECT_EQ(std::string::npos, shown.find("[x]")) << shown;
}

}  // namespace
}  // namespace wbh::platform
