#!/usr/bin/env bash
# Runs every example script of the authors' guide with the real player.
#
#   run_doc_examples.sh ZYNTREL_BINARY DOCS_FOLDER
#
# In the guide's Markdown files:
#   ```zyntrel            a complete start script; it becomes Data/game script.txt of a fresh
#                         game folder and is played with --headless --fixed-step 20 --seed 1
#                         --frames 200 (the folder also gets an empty model precache list
#                         "cache"); the run must end with status 0 and its standard
#                         output must hold no checker message ("// WARNING", "// ERROR")
#   ```output             directly after a ```zyntrel block: that run's exact standard output
#   ```zyntrel-file PATH  a file (a model, a level script, ...) put at PATH in the game folder
#                         of the next ```zyntrel block
#   ```zyntrel-texture PATH  a PNG texture put at PATH in the game folder of the next ```zyntrel
#                         block; the block holds the arguments of tools/make_texture.py after
#                         the file name: WIDTH HEIGHT COLOUR [COLOUR ...] [--rows]
#   ```zyntrel-input      input replayed in the next ```zyntrel block's run (its --input file)
#   ```zyntrel-fragment   script text that is not run
# Every ```zyntrel and ```zyntrel-fragment block is also checked line by line: each command
# word must be one of the commands listed in commands.md (which must list 142), a control
# word, or a macro defined earlier in the same block; and if/endif, repeat/endrepeat and
# loop/endloop must pair up. With DOCS_SHOW set, every example's output is printed.
set -u
bin=${1:?usage: run_doc_examples.sh ZYNTREL_BINARY DOCS_FOLDER}
docs=${2:?usage: run_doc_examples.sh ZYNTREL_BINARY DOCS_FOLDER}
bin=$(realpath "$bin"); docs=$(realpath "$docs")
make_texture=$(realpath "$(dirname "$0")/../../tools/make_texture.py")
work=$(mktemp -d /tmp/zyntrel-docs-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0

# The vocabulary: one heading "### `word`" per command in commands.md.
grep -o '^### `[^`]*`' "$docs/commands.md" | sed 's/^### `//; s/`$//' | sort -u > "$work/vocabulary"
count=$(wc -l < "$work/vocabulary")
if [ "$count" -ne 142 ]; then
  echo "commands.md documents $count commands, not 142"; fail=1
fi
printf '%s\n' if else endif repeat endrepeat exitrepeat loop endloop exitloop idle begin end >> "$work/vocabulary"

# Splits the guide into numbered blocks: ex_N/{kind,where,text} plus the files that go with them.
n=0
for md in "$docs"/*.md; do
  awk -v out="$work" -v file="$(basename "$md")" -v start="$n" '
    BEGIN { n = start; inblock = 0 }
    {
      if (!inblock && $0 ~ /^```[a-z]/) {
        info = substr($0, 4); kind = info; sub(/ .*/, "", kind)
        path = ""; if (index(info, " ")) { path = substr(info, index(info, " ") + 1) }
        n++; dir = sprintf("%s/ex_%04d", out, n); system("mkdir -p \"" dir "\"")
        printf "%s", kind > (dir "/kind"); close(dir "/kind")
        printf "%s:%d", file, NR > (dir "/where"); close(dir "/where")
        printf "%s", path > (dir "/path"); close(dir "/path")
        printf "" > (dir "/text")
        inblock = 1; next
      }
      if (inblock && $0 ~ /^```[ \t]*$/) { close(dir "/text"); inblock = 0; next }
      if (inblock) print $0 >> (dir "/text")
    }
    END { if (inblock) { print file ": a fenced block is not closed" > "/dev/stderr"; exit 1 } print n > (out "/count") }
  ' "$md" || fail=1
  n=$(cat "$work/count")
done

# Checks the command words of one script text; prints one line per fault.
lint() {
  awk -v vocab="$work/vocabulary" '
    BEGIN { while ((getline w < vocab) > 0) known[w] = 1 }
    {
      line = $0; sub(/\r$/, "", line)
      c = index(line, "//"); if (c) line = substr(line, 1, c - 1)
      sub(/^##?/, "", line); sub(/^[ \t]+/, "", line)
      split(line, words, /[ \t]+/); w = words[1]
      if (w == "") next
      if (w == "begin") { name = line; sub(/^begin[ \t]*/, "", name); sub(/[ \t]+$/, "", name); macro[name] = 1 }
      if (!(w in known) && !(w in macro)) print "line " NR ": unknown command: " w
      count[w]++
    }
    END {
      if (count["if"] != count["endif"]) print "if: " count["if"] + 0 ", endif: " count["endif"] + 0
      if (count["repeat"] != count["endrepeat"]) print "repeat: " count["repeat"] + 0 ", endrepeat: " count["endrepeat"] + 0
      if (count["loop"] != count["endloop"]) print "loop: " count["loop"] + 0 ", endloop: " count["endloop"] + 0
    }
  ' "$1"
}

examples=0; compared=0
files=()
input=""
for ((i = 1; i <= n; i++)); do
  dir=$(printf '%s/ex_%04d' "$work" "$i")
  kind=$(cat "$dir/kind"); where=$(cat "$dir/where")
  case "$kind" in
    zyntrel-file)
      path=$(cat "$dir/path")
      if [ -z "$path" ] || [[ "$path" == /* ]] || [[ "$path" == *..* ]]; then
        echo "$where: zyntrel-file needs a relative path inside the game folder"; fail=1
      else
        files+=("$dir")
      fi
      ;;
    zyntrel-texture)
      path=$(cat "$dir/path")
      if [ -z "$path" ] || [[ "$path" == /* ]] || [[ "$path" == *..* ]]; then
        echo "$where: zyntrel-texture needs a relative path inside the game folder"; fail=1
      else
        files+=("$dir")
      fi
      ;;
    zyntrel-input)
      input="$dir/text"
      ;;
    zyntrel-fragment)
      problems=$(lint "$dir/text")
      if [ -n "$problems" ]; then echo "$where: fragment:"; echo "$problems" | sed 's/^/  /'; fail=1; fi
      ;;
    zyntrel)
      examples=$((examples + 1))
      problems=$(lint "$dir/text")
      if [ -n "$problems" ]; then echo "$where: example:"; echo "$problems" | sed 's/^/  /'; fail=1; fi
      game="$dir/game"; mkdir -p "$game/Data"
      cp "$dir/text" "$game/Data/game script.txt"
      : > "$game/cache"   # an empty model precache list, as a finished game folder has
      for f in "${files[@]+"${files[@]}"}"; do
        target="$game/$(cat "$f/path")"; mkdir -p "$(dirname "$target")"
        if [ "$(cat "$f/kind")" = zyntrel-texture ]; then
          read -r -a texture_args < "$f/text"
          python3 "$make_texture" "$target" "${texture_args[@]}" || { echo "$(cat "$f/where"): bad texture block"; fail=1; }
        else
          cp "$f/text" "$target"
        fi
      done
      files=()
      replay=(); [ -n "$input" ] && replay=(--input "$input")
      input=""
      ( cd "$dir" && timeout 120 "$bin" --headless --fixed-step 20 --seed 1 --frames 200 "${replay[@]+"${replay[@]}"}" game ) \
        > "$dir/stdout" 2> "$dir/stderr"
      status=$?
      if [ -n "${DOCS_SHOW:-}" ]; then echo "=== $where"; cat "$dir/stdout"; fi
      bad=0
      if [ "$status" -ne 0 ]; then echo "$where: exit status $status"; bad=1; fi
      if grep -q -e '// WARNING' -e '// ERROR' "$dir/stdout"; then
        echo "$where: the script checker complained:"; grep -e '// WARNING' -e '// ERROR' "$dir/stdout" | head -n 10
        bad=1
      fi
      next=$(printf '%s/ex_%04d' "$work" $((i + 1)))
      if [ -d "$next" ] && [ "$(cat "$next/kind")" = output ]; then
        compared=$((compared + 1))
        if ! cmp -s "$dir/stdout" "$next/text"; then
          echo "$where: standard output differs from the output block (- expected, + got):"
          diff <(cat -A "$next/text") <(cat -A "$dir/stdout") | head -n 30
          bad=1
        fi
      fi
      if [ $bad -ne 0 ]; then echo "--- stderr:"; head -n 20 "$dir/stderr"; fail=1; fi
      ;;
    output)
      prev=$(printf '%s/ex_%04d' "$work" $((i - 1)))
      if [ ! -d "$prev" ] || [ "$(cat "$prev/kind")" != zyntrel ]; then
        echo "$where: an output block must follow a zyntrel block"; fail=1
      fi
      ;;
  esac
done
if [ ${#files[@]} -ne 0 ]; then echo "a zyntrel-file or zyntrel-texture block is not followed by any example"; fail=1; fi
if [ -n "$input" ]; then echo "a zyntrel-input block is not followed by any example"; fail=1; fi
if [ "$examples" -eq 0 ]; then echo "no examples found in $docs"; fail=1; fi
echo "$examples examples run, $compared outputs compared"
exit $fail
