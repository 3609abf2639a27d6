// The tracking script's content: the header comment (string 1503), two empty lines and the
// eight variables, with CR LF line ends on every platform. It is built whole in memory and then
// put in place in one step, so a failed write never leaves half a script.
#include "setup/tracking_script.h"

#include <cstdint>

#include "common/bounded_text.h"
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
    std::string literal = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '"' || byte == '\\') {
            literal += '\\';
            literal += *c;
        } else if (byte == '\r') {
            literal += "\\r";
        } else if (byte == '\n') {
            literal += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            constexpr char kHexDigits[] = "0123456789ABCDEF";
            literal += "\\x";
            literal += kHexDigits[byte >> 4];
            literal += kHexDigits[byte & 0xF];
        } else {
            literal += *c;
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
    platform::files::ReplaceFileContents(p.readerJSfullpath.CStr(), script.data(), script.size());
    return 1;
}

}  // namespace wbh
