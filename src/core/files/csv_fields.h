#pragma once

#include <string>
#include <string_view>

namespace slm {

// Fields of a record line and header items in the quoting of RFC 4180: a
// field that holds its separator, a double quote or a line end is written
// between double quotes with every quote inside doubled ("65,3" in a CSV file
// is written "\"65,3\""). The same rules serve tab-separated data files.

// Whether `field` must be quoted on a line separated by `separator`: it holds
// the separator, a quote, a CR or an LF; in a CSV file also a tab, so that the
// line cannot be taken for a tab-separated one; and the first field of a line
// also when it starts with a blank, which the reader drops before a line.
bool FieldNeedsQuotes(std::string_view field, char separator, bool first_field);

// Appends `field` to `out`, quoted when it needs to be.
void AppendField(std::string& out, std::string_view field, char separator, bool first_field);

// Splits `line` into its first three fields at `separator`. A field that
// starts with a quote runs to the matching quote (doubled quotes inside stand
// for one) and must be followed by the separator or the end of the line; an
// unquoted field holds no quote. The third field may run to the end of the
// line but must not be missing; fields after the third are not looked at.
// The unquoted texts go to `fields`. Returns false when the line does not
// split so. `third_ended`, when given, tells whether the third field was
// followed by the separator rather than the end of the line.
bool SplitQuotedFields(std::string_view line, char separator, std::string (&fields)[3],
                       bool* third_ended = nullptr);

// A header item as read: leading blanks dropped, and an item that starts with
// a quote loses it, its closing quote and the doubling of quotes inside. An
// item whose quote is never closed stays as it is.
std::string HeaderItem(std::string_view item);

// Appends a header value so that HeaderItem gives it back but for blanks in
// front: quoted when it holds a quote or a line end (as RFC 4180 has it),
// else as it is.
void AppendHeaderItem(std::string& out, std::string_view value);

}  // namespace slm
