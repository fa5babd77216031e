#!/bin/sh
# Writes the package's changelog (Debian's format, as /usr/share/doc/PACKAGE/changelog.gz
# of a package without a Debian revision) from CHANGELOG.md: one entry per released
# version, newest first; [Unreleased] stays out. The newest entry must be VERSION, so
# that a version number changed in CMakeLists.txt without its changelog stops the build.
#   make-debian-changelog.sh CHANGELOG.md PACKAGE VERSION MAINTAINER > changelog
set -eu

changelog=$1 package=$2 version=$3 maintainer=$4

newest=$(sed -n 's/^## \[\([0-9][^]]*\)\].*/\1/p' "$changelog" | head -n 1)
if [ "$newest" != "$version" ]; then
    echo "make-debian-changelog.sh: the newest release in $changelog is '$newest', not $version" >&2
    exit 1
fi

# Each "## [X] - DATE" opens an entry; each "### Kind" a group; each "- " item
# (with its indented continuation lines) becomes one bullet, wrapped at 78.
awk -v package="$package" -v maintainer="$maintainer" '
    function date_of(day,   command, text) {
        command = "LC_ALL=C date -u -R -d \"" day " 12:00:00\""
        command | getline text
        close(command)
        return text
    }
    function wrap(text, first, rest,   n, words, i, line) {
        n = split(text, words, " ")
        line = first
        for (i = 1; i <= n; ++i) {
            if (length(line) + 1 + length(words[i]) > 78 && line != first) {
                print line
                line = rest
            }
            line = line (line == first || line == rest ? "" : " ") words[i]
        }
        print line
    }
    function flush_item() {
        gsub(/`/, "", item)  # Markdown code quotes
        if (item != "")
            wrap(item, "    - ", "      ")
        item = ""
    }
    function close_entry() {
        flush_item()
        if (open) { print ""; print " -- " maintainer "  " day_text; print "" }
        open = 0
    }
    /^## \[Unreleased\]/ { close_entry(); skipping = 1; next }
    /^## \[/ {
        close_entry()
        skipping = 0
        version = $2; gsub(/[][]/, "", version)
        day_text = date_of($4)
        print package " (" version ") unstable; urgency=medium"
        print ""
        open = 1
        next
    }
    skipping || !open { next }
    /^### / { flush_item(); sub(/^### /, ""); print "  * " $0 ":"; next }
    /^- / { flush_item(); item = substr($0, 3); next }
    /^  +[^ ]/ && item != "" { line = $0; sub(/^ +/, "", line); item = item " " line; next }
    END { close_entry() }
' "$changelog" | sed '$d'
