// The book's tracking script: a JavaScript file in the install directory whose eight variables
// the book's pages read (the author's identifiers, the reader's anonymous identifier when the
// reader allowed tracking, the number of recorded books, the installed product's identifiers
// and the book's identifier).
#pragma once

#include <cstdint>
#include <string>

#include "setup/setup_flow.h"

namespace wbh {

namespace tracking_script {
inline constexpr unsigned kHeaderString = 1503;
inline constexpr char kNoReaderId[] = "{00000000-0000-0000-0000-000000000000}";
inline constexpr char kTrackingRefused[] = "{00000000-0000-0000-0000-000000000001}";
}  // namespace tracking_script

// A JavaScript string literal, quotes included, that holds exactly `text`: a double quote, a
// backslash and the control characters are escaped, and so is a character that the platform's
// text files cannot hold (\uXXXX, platform::files::TextFileHolds); every other byte is kept.
std::string JavaScriptString(const char* text);

// The values the book's pages read, in the script's order.
struct TrackingValues {
    const char* author_user;
    const char* author_sku;
    const char* author_partner;
    const char* reader_user;  // the reader's identifier, or one of the two placeholders above
    std::int32_t book_count;
    const char* reader_sku;
    const char* reader_partner;
    const char* book_id;
};

// The script's text: `header` with every lone LF made CR LF, two empty lines, then one line
// per variable.
std::string ComposeTrackingScript(const char* header, const TrackingValues& values);

// Gathers the values (the reader's identifier and the book count only while the reader allows
// tracking) and writes the script at readerJSfullpath, replacing any earlier one whole; nothing
// when that path is empty. Never changes the registry. Returns 1.
int WriteTrackingScript(const SetupParameters& p);

}  // namespace wbh
