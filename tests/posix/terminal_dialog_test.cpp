// The terminal dialog as a toolkit: what each input line does to the controls and what the
// handler hears, on the real consent template and on a template with a check box and a box.
#include "platform/posix/terminal_dialog.h"

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
    const struct {
        std::string input;
        long result;
        std::int32_t accepted;  // ReaderAccepted afterwards, 7 before
        const char* shown;      // a piece of the transcript
    } rows[] = {
        {"1\n\n", 1, 1, "(*) Oui, je l'accepte."},
        {"1\r\n2\r\n\r\n", 1, 0, "( ) Oui, je l'accepte."},  // lines from Windows
        {"\n", -1, 7, "« Continuer » n'est pas disponible : choisissez d'abord une réponse."},
        {"", -1, 7, "(indisponible : choisissez d'abord une réponse)"},
        {"9\nOui\n1", -1, 7, "(*) Oui"},  // no Enter after the answer: nothing taken
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

// Hears every command and ends on the default button; notes what GetText gives for a text
// of two-byte characters in buffers of several sizes.
class Recorder : public DialogHandler {
public:
    void OnInit(Dialog& dialog) override {
        dialog.Check(11, true);
        dialog.SetText(12, "\xC3\xA9t\xC3\xA9");
        for (int size : {0, 2, 3, 5, 6}) {
            char buffer[8] = "#";
            cuts += std::to_string(dialog.GetText(12, buffer, size)) + buffer + " ";
        }
    }
    void OnCommand(Dialog& dialog, int id, int code) override {
        heard += std::to_string(id) + ":" + std::to_string(code) + " ";
        if (id == 11) dialog.Enable(12, dialog.IsChecked(11));
        if (id == 1) dialog.End(5);
    }
    std::string heard;
    std::string cuts;
};

TEST(TerminalDialog, CheckBoxesAndBoxes) {
    constexpr std::uint32_t kChild = 0x50000000;
    const DialogTemplate layout{
        7, 0, 0, 0, 200, 100, "Essai", 8, "",
        {{1, "BUTTON", kChild | 0x1, 10, 80, 50, 14, "Terminer"},
         {11, "BUTTON", kChild | 0x3, 10, 10, 180, 12, "Un raccourci"},
         {14, "BUTTON", kChild | 0x7, 5, 20, 190, 40, "Nom"},
         {12, "EDIT", kChild | 0x80, 10, 30, 100, 12, ""},
         {13, "BUTTON", kChild | 0x8000003, 10, 50, 100, 12, "Ouvrir"}}};  // disabled
    const struct {
        const char* input;
        long result;
        const char* heard;
        const char* shown;  // a piece of the transcript
    } rows[] = {
        // 1 unchecks the box and disables the text; 2 then takes no text, and the next line
        // is an action of its own (none: IDCANCEL).
        {"1\n2\nnom\n3\n\n", 5, "11:0 2:0 1:0 ", "« Ouvrir » n'est pas disponible."},
        {"2\n", -1, "", "(fin de l'entrée"},  // input ends while a text is awaited
        // Control characters reach the terminal as their pictures.
        {"2\n\x1b]0;titre\x07\x7f\n\n", 5, "12:768 1:0 ", "« \u241b]0;titre\u2407\u2421 »"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        Recorder recorder;
        std::string shown;
        EXPECT_EQ(row.result, Drive(layout, recorder, row.input, shown));
        EXPECT_EQ(row.heard, recorder.heard);
        EXPECT_EQ("0# 0 2\xC3\xA9 3\xC3\xA9t 5\xC3\xA9t\xC3\xA9 ", recorder.cuts);
        EXPECT_NE(std::string::npos, shown.find(row.shown)) << shown;
        EXPECT_EQ(std::string::npos, shown.find_first_of("\x1b\x07\x7f")) << shown;
    }
}

}  // namespace
}  // namespace wbh::platform
