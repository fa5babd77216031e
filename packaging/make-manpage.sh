#!/bin/sh
# Writes the k400gw(1) manual page: the hand-written sections of TEMPLATE with
# a COMMANDS section made from the program's own help ("k400gw help" and
# "k400gw help COMMAND"), so that the page lists every command and option the
# program has.
#   make-manpage.sh K400GW TEMPLATE VERSION DATE > k400gw.1
set -eu

exe=$1 template=$2 version=$3 date=$4

# Roff wants a backslash written as \e, a minus sign (options) as \-, and no
# control character (. or ') at the start of a text line. What the awk below
# marks comes in as bytes: 001 bold, 002 italic, 003 roman, 004 a request line
# of its own (not escaped), 005 a minus sign.
roff_escape() {
    sed -e 's/\\/\\e/g' \
        -e 's/--/\\-\\-/g' \
        -e 's/\(^\|[][ (`,|]\)-/\1\\-/g' \
        -e ':minus' -e 's/\(\\-[A-Za-z0-9]*\)-\([A-Za-z]\)/\1\\-\2/' -e 't minus' \
        -e "s/^\\([.']\\)/\\\\\\&\\1/" \
        -e 's/`\([^`]*\)`/\\fB\1\\fR/g' \
        -e 's/\x01/\\fB/g' -e 's/\x02/\\fI/g' -e 's/\x03/\\fR/g' -e 's/^\x04//' -e 's/\x05/\\-/g'
}

# One command's help: summary, description, usage line, "Options:", one line
# per option (its description in column 35, or on the next line when the
# option is too long), then an optional footer.
command_section() {
    "$exe" help "$1" | awk -v name="$1" '
        # Option words bold, placeholders (PORT, MS, [HOST:]PORT) italic.
        function tag(line,   n, words, i, out, w) {
            n = split(line, words, " ")
            out = ""
            for (i = 1; i <= n; ++i) {
                w = words[i]
                if (w ~ /^-/) {
                    gsub(/-/, "\005", w)
                    w = "\001" w "\003"
                }
                else if (w ~ /^\[?[A-Z]+(:\])?[A-Z]*$/)
                    w = "\002" w "\003"
                out = out (i > 1 ? " " : "") w
            }
            return out
        }
        function flush() { if (desc != "") print desc; desc = "" }
        NR == 1 { print "\004.SS \"" name "\""; print; print "\004.PP"; part = "description"; next }
        /^usage: / { part = "usage"; next }
        part == "usage" && /^Options:/ { print "\004.PP"; print "\001k400gw " name "\003 [\002OPTIONS\003]"; part = "options"; next }
        part == "options" && /^  -/ {
            flush()
            line = substr($0, 3)
            split_at = index(line, "  ")
            print "\004.TP"
            if (split_at == 0) { print tag(line); next }
            print tag(substr(line, 1, split_at - 1))
            desc = substr(line, split_at)
            sub(/^ +/, "", desc)
            next
        }
        part == "options" && /^      / { sub(/^ +/, ""); desc = (desc == "" ? $0 : desc " " $0); next }
        part == "options" && /^$/ { flush(); part = "footer"; next }
        part == "footer" && /^$/ { next }
        part == "footer" { print "\004.PP"; print; next }
        part == "description" && NF { print }
        END { flush() }
    '
}

commands=$("$exe" help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
[ -n "$commands" ] || { echo "make-manpage.sh: $exe help lists no commands" >&2; exit 1; }

while IFS= read -r line; do
    case $line in
    @COMMANDS@)
        for c in $commands; do command_section "$c"; done | roff_escape ;;
    *)
        printf '%s\n' "$line" | sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$date/g" ;;
    esac
done < "$template"
