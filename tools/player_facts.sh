#!/usr/bin/env bash
# Writes the facts of docs/player-facts.txt into the pages that tell them to players.
#   tools/player_facts.sh roff|text|html TEMPLATE   the template with its markers filled, on stdout
#   tools/player_facts.sh --check                   fails when the help page's copy is not current
#   tools/player_facts.sh --write                   writes the help page's copy anew
# A marker is a line holding "facts: NAME..." (and options such as +ip). In roff and text the
# marker line gives way to the blocks; in HTML it stays, and what follows it up to the line holding
# "end of facts" is replaced, so the page keeps its markers and can be served as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
facts="$root/docs/player-facts.txt"
help_page="$root/web/deradu/index.php"

render() { # format, template
  LC_ALL=C awk -v format="$1" -v quote="'" '
    function fail(message) {
      print FILENAME ":" FNR ": " message > "/dev/stderr"
      failed = 1
      exit 1
    }

    # The facts file: blocks of items, each a paragraph ("p") or a list entry ("l").
    FNR == NR {
      if ($0 ~ /[^\t -~]/) fail("not ASCII")
      if ($0 ~ /^#/) next
      if ($0 ~ /^== /) { block = substr($0, 4); known[block] = 1; count[block] = 0; open = 0; next }
      if (block == "") { if ($0 != "") fail("text outside a block"); next }
      if ($0 == "") { open = 0; next }
      if ($0 ~ /^%table /) { heads[block] = substr($0, 8); next }
      split_at = index($0, " :: ")
      if (open && ($0 ~ /^  / || (kind[block, count[block]] == "p" && split_at == 0))) {
        sub(/^ +/, "")
        text[block, count[block]] = text[block, count[block]] " " $0
        next
      }
      n = ++count[block]
      if (split_at > 0) {
        kind[block, n] = "l"; term[block, n] = substr($0, 1, split_at - 1)
        text[block, n] = substr($0, split_at + 4)
      } else {
        kind[block, n] = "p"; text[block, n] = $0
      }
      open = 1
      next
    }

    # Inline marks: {key}, *stress*, `code`.
    function marked(s, open_mark, close_mark, before, after,    out, start, stop, inner) {
      out = ""
      while ((start = index(s, open_mark)) > 0) {
        stop = index(substr(s, start + 1), close_mark)
        if (stop == 0) fail("unclosed " open_mark " in: " s)
        inner = substr(s, start + 1, stop - 1)
        if (format == "roff" && open_mark == "`") gsub(/-/, "\\-", inner)
        out = out substr(s, 1, start - 1) before inner after
        s = substr(s, start + stop + 1)
      }
      return out s
    }
    function inline(s) {
      if (format == "html") {
        gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s)
        gsub(/"/, "\\&quot;", s)
        s = marked(s, "`", "`", "<code>", "</code>")
        s = marked(s, "{", "}", "<kbd>", "</kbd>")
        # The arrow keys as their keycaps show them.
        gsub(/<kbd>Left<\/kbd>/, "<kbd>\\&larr;</kbd>", s)
        gsub(/<kbd>Right<\/kbd>/, "<kbd>\\&rarr;</kbd>", s)
        gsub(/<kbd>Up<\/kbd>/, "<kbd>\\&uarr;</kbd>", s)
        gsub(/<kbd>Down<\/kbd>/, "<kbd>\\&darr;</kbd>", s)
        return marked(s, "*", "*", "<strong>", "</strong>")
      }
      if (format == "roff") {
        gsub(/\\/, "\\e", s)
        s = marked(s, "`", "`", "\\fI", "\\fR")
        s = marked(s, "{", "}", "\\fB", "\\fR")
        return marked(s, "*", "*", "\\fB", "\\fR")
      }
      s = marked(s, "`", "`", "", "")
      s = marked(s, "{", "}", "", "")
      return marked(s, "*", "*", "", "")
    }

    # Words wrapped to width columns: the first line after first, the others after rest.
    function wrapped(s, width, first, rest,    words, n, i, line, out) {
      n = split(s, words, " ")
      line = first
      out = ""
      for (i = 1; i <= n; i++) {
        if (line != first && line != rest && length(line) + 1 + length(words[i]) > width) {
          out = out line "\n"
          line = rest
        }
        line = line ((line == first || line == rest) ? "" : " ") words[i]
      }
      return out line
    }
    function spaces(n,    s) { s = ""; while (n-- > 0) s = s " "; return s }

    # roff: one sentence a line, no line starting with a control character.
    function roff_lines(s,    lines, n, i, out, first) {
      s = inline(s)
      gsub(/\. /, ".\n", s)
      n = split(s, lines, "\n")
      out = ""
      for (i = 1; i <= n; i++) {
        first = substr(lines[i], 1, 1)
        out = out (i > 1 ? "\n" : "") ((first == "." || first == quote) ? "\\&" : "") lines[i]
      }
      return out
    }

    function emit_roff(b, ip,    i) {
      for (i = 1; i <= count[b]; i++) {
        if (kind[b, i] == "l") {
          print ".TP"; print roff_lines(term[b, i]); print roff_lines(text[b, i])
          after_list = 1
        } else {
          if (emitted || after_list) print (ip ? ".IP" : ".PP")
          print roff_lines(text[b, i])
          after_list = 0
        }
        emitted = 1
      }
    }

    function emit_text(b,    i, width, w, pad, s) {
      width = 0
      for (i = 1; i <= count[b]; i++) {
        w = inline(term[b, i])
        if (kind[b, i] == "l" && length(w) > width) width = length(w)
      }
      if (width > 14) width = 4
      for (i = 1; i <= count[b]; i++) {
        if (kind[b, i] == "l") {
          if (emitted && !in_list) print ""
          w = inline(term[b, i])
          if (length(w) > width) { print "  " w; w = "" }
          pad = spaces(2 + width + 2)
          s = wrapped(inline(text[b, i]), 76, "  " w spaces(width - length(w) + 2), pad)
          print s
          in_list = 1
        } else {
          if (emitted) print ""
          s = wrapped(inline(text[b, i]), 76, "", "")
          print s
          in_list = 0
        }
        emitted = 1
      }
    }

    function emit_html(b,    i, n, h, row) {
      for (i = 1; i <= count[b]; i++) {
        if (kind[b, i] == "p") {
          print wrapped("<p>" inline(text[b, i]) "</p>", 96, "    ", "      ")
          continue
        }
        if (b in heads) {
          split(heads[b], h, / \| /)
          print "    <table>"
          print "      <thead>"
          print "        <tr><th scope=\"col\">" h[1] "</th><th scope=\"col\">" h[2] "</th></tr>"
          print "      </thead>"
          print "      <tbody>"
          for (; i <= count[b] && kind[b, i] == "l"; i++) {
            row = "<tr><td>" inline(term[b, i]) "</td><td>" inline(text[b, i]) "</td></tr>"
            print wrapped(row, 96, "        ", "          ")
          }
          print "      </tbody>"
          print "    </table>"
        } else {
          print "    <dl>"
          for (; i <= count[b] && kind[b, i] == "l"; i++) {
            print "      <dt>" inline(term[b, i]) "</dt>"
            print wrapped("<dd>" inline(text[b, i]) "</dd>", 96, "      ", "        ")
          }
          print "    </dl>"
        }
        i--
      }
    }

    # The template.
    skipping {
      if ($0 ~ /end of facts/) { skipping = 0; print }
      next
    }
    /facts: / {
      names = substr($0, index($0, "facts: ") + 7)
      sub(/ *(\*\/ *\?>|\])? *$/, "", names)
      n = split(names, list, " ")
      ip = 0; emitted = 0; after_list = 0; in_list = 0
      if (format == "html") { print; skipping = 1 }
      for (i = 1; i <= n; i++) {
        if (list[i] == "+ip") { ip = 1; continue }
        if (!(list[i] in known)) fail("no block \"" list[i] "\" in the facts")
        if (format == "roff") emit_roff(list[i], ip)
        else if (format == "text") emit_text(list[i])
        else emit_html(list[i])
      }
      next
    }
    { print }
    END {
      if (!failed && skipping) {
        print FILENAME ": a facts marker without its end" > "/dev/stderr"
        exit 1
      }
    }
  ' "$facts" "$2"
}

case "${1:-}" in
  roff | text | html)
    [ $# -eq 2 ] || { echo "usage: $0 roff|text|html TEMPLATE" >&2; exit 2; }
    render "$1" "$2"
    ;;
  --check)
    current=$(mktemp)
    trap 'rm -f "$current"' EXIT
    render html "$help_page" >"$current"
    if ! cmp -s "$current" "$help_page"; then
      diff -u "$help_page" "$current" >&2 || true
      echo "web/deradu/index.php does not say what docs/player-facts.txt says:" \
        "run tools/player_facts.sh --write" >&2
      exit 1
    fi
    ;;
  --write)
    current=$(mktemp)
    trap 'rm -f "$current"' EXIT
    render html "$help_page" >"$current"
    cat "$current" >"$help_page"
    ;;
  *)
    echo "usage: $0 roff|text|html TEMPLATE | --check | --write" >&2
    exit 2
    ;;
esac
