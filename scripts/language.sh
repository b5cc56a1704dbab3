# Sourced by the scripts a technician runs, for their messages.
# The programs' language rule (words/language.cpp): Chinese under zh_* and under C,
# POSIX or no locale; English under every other. The locale is LC_ALL, else
# LC_MESSAGES, else LANG; LANGUAGE's first name, when set, picks within a real locale.
chinese() {
    local locale=${LC_ALL:-${LC_MESSAGES:-${LANG:-}}} first=${LANGUAGE:-}
    first=${first%%:*}
    case $locale in '' | C | C.* | C@* | POSIX) return 0 ;; esac
    [[ ${first:-$locale} == zh* ]]
}
# say "中文" "English": the one the user reads.
say() { if chinese; then echo "$1"; else echo "$2"; fi; }
