// The tracking script's content: the header comment (string 1503), two empty lines and the
// eight variables, with CR LF line ends on every platform. It is built whole in memory and then
// put in place in one step, so a failed write never leaves half a script.
#include "setup/tracking_script.h"

#include <cstdint>

#include "common/bounded_text.h"
#include "common/utf8.h"
#include "platform/files.h"
#include "platform/reader_component.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "setup/setup_flow.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh {
namespace {

namespace reg = platform::registry;

// A text as the registry readers read it.
using StoredText = BoundedText<store::kTextCharacters + 1>;

// Reads a text value into `value`; false, with `value` empty, when it cannot be read.
bool ReadText(store::RegKey& key, const char* name, StoredText& value) {
    char text[store::kTextBufferSize + 1];
    std::uint32_t size = sizeof text;
    if (key.QueryString(text, name, size) == 0 && value.Assign(text)) return true;
    value.Clear();
    return false;
}

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

int WriteTrackingScript(const SetupParameters& p) {
    if (p.readerJSfullpath.Empty()) return 1;
    const reg::Key user_root = reg::RootKey(reg::Root::kCurrentUser);

    StoredText reader_user;
    if (p.trackingallowed == 0) {
        reader_user.Assign(tracking_script::kTrackingRefused);
    } else {
        store::RegKey user_data;
        if (user_data.Open(user_root, store::kUserDataKey, store::kKeyRead) != 0 ||
            !ReadText(user_data, store::kReaderIdValue, reader_user)) {
            reader_user.Assign(tracking_script::kNoReaderId);
        }
    }

    StoredText author_user, author_sku, author_partner;
    std::uint32_t book_count = 0;
    {
        store::RegKey referrals;
        if (referrals.Open(user_root, store::kReferralsKey, store::kKeyRead) == 0) {
            store::RegKey book;
            if (book.Open(referrals.Handle(), p.autorunbookid.CStr(), store::kKeyRead) == 0) {
                ReadText(book, store::kBookUserIdValue, author_user);
                ReadText(book, store::kQuarloSkuValue, author_sku);
                ReadText(book, store::kPartnerIdValue, author_partner);
            }
            book.Close();
            if (p.trackingallowed != 0 && referrals.CountSubkeys(book_count) != 0) {
                book_count = 0;
            }
        }
    }

    const platform::ReaderComponent component;  // released when the script is in place

    char header[4096];
    if (platform::LoadText(tracking_script::kHeaderString, header, sizeof header) == 0) {
        header[0] = '\0';
    }
    std::string script;
    AppendWithCrLf(script, header);
    script += "\r\n\r\n\r\n";
    AppendVariable(script, "AuthorUser", author_user.CStr());
    AppendVariable(script, "AuthorSKU", author_sku.CStr());
    AppendVariable(script, "AuthorPartner", author_partner.CStr());
    AppendVariable(script, "ReaderUser", reader_user.CStr());
    script += "var ReaderAutorunCount = " + std::to_string(static_cast<std::int32_t>(book_count)) +
              ";\r\n";
    AppendVariable(script, "ReaderSKU", component.Sku().CStr());
    AppendVariable(script, "ReaderPartner", component.Partner().CStr());
    AppendVariable(script, "WebBookID", p.autorunbookid.CStr());
    platform::files::ReplaceTextFile(p.readerJSfullpath.CStr(), script);
    return 1;
}

}  // namespace wbh
