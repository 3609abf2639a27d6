// The tracking script: its values gathered from the store, the reader component and the
// parameters, composed into the text (the header comment, string 1503, two empty lines and the
// eight variables, with CR LF line ends on every platform), which is then put in place in one
// step, so a failed write never leaves half a script.
#include "setup/tracking_script.h"

#include <cstdint>

#include "common/utf8.h"
#include "platform/files.h"
#include "platform/reader_component.h"
#include "platform/resources.h"
#include "setup/setup_flow.h"
#include "store/reader_id.h"
#include "store/referrals.h"

namespace wbh {
namespace {

// Line breaks as a text-mode file on Windows writes them: every LF not already after a CR
// becomes CR LF.
void AppendWithCrLf(std::string& out, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n' && (c == text || c[-1] != '\r')) out += '\r';
        out += *c;
    }
}

void AppendVariable(std::string& out, const char* name, const char* value) {
    out += "var ";
    out += name;
    out += " = ";
    out += JavaScriptString(value);
    out += ";\r\n";
}

}  // namespace

std::string JavaScriptString(const char* text) {
    const std::string_view view(text);
    std::string literal = "\"";
    const auto hex = [&literal](unsigned value, int digits) {
        while (digits-- > 0) literal += "0123456789ABCDEF"[(value >> (4 * digits)) & 0xF];
    };
    for (std::size_t pos = 0; pos < view.size();) {
        const std::size_t start = pos;
        const char32_t character = utf8::DecodeNext(view, pos);
        if (character == '"' || character == '\\') {
            literal += '\\';
            literal += static_cast<char>(character);
        } else if (character == '\r') {
            literal += "\\r";
        } else if (character == '\n') {
            literal += "\\n";
        } else if (character < 0x20 || character == 0x7F) {
            literal += "\\x";
            hex(static_cast<unsigned>(character), 2);
        } else if (character != utf8::kNotUtf8 && !platform::files::TextFileHolds(character)) {
            // The same character in the page whatever the file's encoding: UTF-16 units.
            if (character > 0xFFFF) {
                literal += "\\u";
                hex(0xD800 + ((character - 0x10000) >> 10), 4);
                literal += "\\u";
                hex(0xDC00 + ((character - 0x10000) & 0x3FF), 4);
            } else {
                literal += "\\u";
                hex(static_cast<unsigned>(character), 4);
            }
        } else {
            literal.append(view.data() + start, pos - start);
        }
    }
    literal += '"';
    return literal;
}

std::string ComposeTrackingScript(const char* header, const TrackingValues& v) {
    std::string script;
    AppendWithCrLf(script, header);
    script += "\r\n\r\n\r\n";
    AppendVariable(script, "AuthorUser", v.author_user);
    AppendVariable(script, "AuthorSKU", v.author_sku);
    AppendVariable(script, "AuthorPartner", v.author_partner);
    AppendVariable(script, "ReaderUser", v.reader_user);
    script += "var ReaderAutorunCount = " + std::to_string(v.book_count) + ";\r\n";
    AppendVariable(script, "ReaderSKU", v.reader_sku);
    AppendVariable(script, "ReaderPartner", v.reader_partner);
    AppendVariable(script, "WebBookID", v.book_id);
    return script;
}

int WriteTrackingScript(const SetupParameters& p) {
    if (p.readerJSfullpath.Empty()) return 1;

    store::StoredText reader_user;
    if (p.trackingallowed == 0) {
        reader_user.Assign(tracking_script::kTrackingRefused);
    } else if (!store::ReadReaderId(reader_user)) {
        reader_user.Assign(tracking_script::kNoReaderId);
    }
    std::uint32_t book_count = 0;
    const store::BookRecord book = store::ReadBookRecord(
        p.autorunbookid.CStr(), p.trackingallowed != 0 ? &book_count : nullptr);

    const platform::ReaderComponent component;  // released when the script is in place

    char header[4096];
    if (platform::LoadText(tracking_script::kHeaderString, header, sizeof header) == 0) {
        header[0] = '\0';
    }
    const TrackingValues values{book.user_id.CStr(),
                                book.sku.CStr(),
                                book.partner_id.CStr(),
                                reader_user.CStr(),
                                static_cast<std::int32_t>(book_count),
                                component.Sku().CStr(),
                                component.Partner().CStr(),
                                p.autorunbookid.CStr()};
    platform::files::ReplaceTextFile(p.readerJSfullpath.CStr(),
                                     ComposeTrackingScript(header, values));
    return 1;
}

}  // namespace wbh
