#!/usr/bin/env bash
# check-completion.sh COMPLETION_FILE "OPTIONS FROM --help" "FORMATS FROM --help"
# Loads bash-completion and the exporter's completion, then completes a few
# command lines the way bash would after a Tab and compares the offers.
set -uo pipefail
completion="$1"; help_options="$2"; help_formats="$3"

# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion || { echo "bash-completion is not installed"; exit 1; }
# shellcheck source=/dev/null
source "$completion"

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
cd "$workdir" || exit 1
touch picks.txt ticks.txt 'two words.txt'
mkdir folder

fail=0
# offers WORD... : the sorted offers for the last word of the command line.
offers() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  # The line as typed: bash splits "--sort=t" into "--sort" "=" "t".
  local word previous=""
  COMP_LINE=""
  for word in "$@"; do
    if [ -n "$COMP_LINE" ] && [ "$word" != "=" ] && [ "$previous" != "=" ]; then COMP_LINE+=" "; fi
    COMP_LINE+="$word"
    previous="$word"
  done
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _tembrook_export tembrook-export "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ' -
}
expect() {
  local want="$1"; shift
  local got
  got=$(offers "$@")
  if [ "$got" = "$want" ]; then
    echo "ok: '$*' -> $got"
  else
    echo "FAIL: '$*' offers '$got', expected '$want'"
    fail=1
  fi
}

expect "--sort" tembrook-export --so
expect "author check date price publisher title" tembrook-export --sort ""
expect "price publisher" tembrook-export --descending --sort p
expect "$help_formats" tembrook-export --format ""
expect "--tick-from" tembrook-export --ti
expect "picks.txt" tembrook-export --output pi
expect "folder picks.txt ticks.txt two words.txt" tembrook-export --tick-from ""
expect "" tembrook-export --sort title http://127.0.0.1/ --utf8 --version ""
# --sort=t and --output=p, split by bash at the "=" (COMP_WORDBREAKS).
expect "title" tembrook-export --sort = t
expect "picks.txt" tembrook-export --output = p

# Every option the exporter's --help lists is offered after "--".
all=$(offers tembrook-export --)
for option in $help_options; do
  case " $all " in *" $option "*) ;; *) echo "FAIL: --help lists $option, the completion does not offer it"; fail=1;; esac
done
exit $fail
