// The terminal dialog as a toolkit: what each input line does to the controls and what the
// handler hears, on the real consent template and on a template with a check box and a box.
#include "platform/posix/terminal_dialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "consent/consent_dialog.h"
#include "support/registry_sandbox.h"

namespace wbh::platform {
namespace {

// Runs the dialog on `input`; returns its result, with the transcript in `shown`.
long Drive(const DialogTemplate& layout, DialogHandler& handler, const std::string& input,
         std::string& shown) {
    std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    if (input.empty()) in = std::fopen("/dev/null", "r");
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
    struct Row {
        const char* input;
        long result;
        std::int32_t accepted;  // ReaderAccepted afterwards, 7 before
        const char* shown;      // a piece of the transcript
    };
    const Row rows[] = {
        {"1\n\n", 1, 1, "(*) Oui, je l'accepte."},
        {"2\n\n", 1, 0, "(*) Non, je ne veux pas"},
        {"1\r\n2\r\n\r\n", 1, 0, "( ) Oui, je l'accepte."},  // lines from Windows
        {"\n", -1, 7, "« Continuer » n'est pas disponible : choisissez d'abord une réponse."},
        {"", -1, 7, "(indisponible : choisissez d'abord une réponse)"},
        {"9\nOui\n1", -1, 7, "(*) Oui"},  // no Enter after the answer: nothing taken
        {"1\n\n2\n", 1, 1, "Utilisation du livre Web et confidentialité"},  // ends at Continuer
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        test::RegistrySandbox sandbox;
        std::int32_t accepted = 7;
        ConsentDialog handler(accepted);
        std::string shown;
        EXPECT_EQ(row.result, Drive(consent, handler, row.input, shown));
        EXPECT_EQ(row.accepted, accepted);
        EXPECT_NE(std::string::npos, shown.find(row.shown)) << shown;
    }
}

TEST(TerminalDialog, ALongLineIsJustAnotherLine) {
    const DialogTemplate& consent = ProgramResources().dialogs.at(consent_dialog::kTemplate);
    test::RegistrySandbox sandbox;
    std::int32_t accepted = 7;
    ConsentDialog handler(accepted);
    std::string shown;
    EXPECT_EQ(1, Drive(consent, handler, std::string(1 << 20, '1') + "\n2\n\n", shown));
    EXPECT_EQ(0, accepted);
    EXPECT_LT(shown.size(), 64u * 1024 * 2);  // the long line is echoed cut, not whole
}

// Hears every command, and ends on the default button.
class Recorder : public DialogHandler {
public:
    void OnInit(Dialog& dialog) override {
        dialog.Check(11, true);
        dialog.SetText(12, "livre Web");
    }
    void OnCommand(Dialog& dialog, int id, int code) override {
        heard.push_back({id, code});
        if (id == 11) dialog.Enable(12, dialog.IsChecked(11));
        if (id == 1) dialog.End(5);
    }
    std::vector<std::pair<int, int>> heard;
};

TEST(TerminalDialog, CheckBoxesAndBoxes) {
    constexpr std::uint32_t kChild = 0x50000000;
    const DialogTemplate layout{
        7, 0, 0, 0, 200, 100, "Essai", 8, "MS Sans Serif",
        {{1, "BUTTON", kChild | 0x1, 10, 80, 50, 14, "Terminer"},
         {11, "BUTTON", kChild | 0x3, 10, 10, 100, 12, "Raccourci"},
         {12, "EDIT", kChild | 0x80, 10, 30, 100, 12, ""},
         {13, "BUTTON", kChild | 0x8000003, 10, 50, 100, 12, "Ouvrir"}}};  // disabled

    // 1 unchecks the box and disables the name; 2 then does not take the next line, which
    // is read as an action of its own (nothing).
    Recorder first;
    std::string shown;
    EXPECT_EQ(5, Drive(layout, first, "1\n2\nnom\n3\n\n", shown));
    const std::vector<std::pair<int, int>> expected = {{11, 0}, {2, 0}, {1, 0}};
    EXPECT_EQ(expected, first.heard);
    EXPECT_NE(std::string::npos, shown.find("« livre Web »  (indisponible)")) << shown;
    EXPECT_NE(std::string::npos, shown.find("« Ouvrir » n'est pas disponible.")) << shown;

    // While enabled, 2 makes the next line the box's text (EN_CHANGE); input ending while a
    // text is awaited ends the dialog with no effect.
    Recorder second;
    EXPECT_EQ(5, Drive(layout, second, "2\nmon livre\n\n", shown));
    EXPECT_NE(std::string::npos, shown.find("« mon livre »")) << shown;
    EXPECT_EQ((std::vector<std::pair<int, int>>{{12, 0x300}, {1, 0}}), second.heard);
    Recorder third;
    EXPECT_EQ(-1, Drive(layout, third, "2\n", shown));

    // Control characters, in the echo and in the box, reach the terminal as their pictures.
    Recorder fourth;
    EXPECT_EQ(5, Drive(layout, fourth, "2\n\x1b]0;titre\x07\x7f\n\n", shown));
    EXPECT_EQ(std::string::npos, shown.find_first_of("\x1b\x07\x7f")) << shown;
    EXPECT_NE(std::string::npos, shown.find("« \u241b]0;titre\u2407\u2421 »")) << shown;
}

}  // namespace
}  // namespace wbh::platform
