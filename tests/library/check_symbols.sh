#!/usr/bin/env bash
# Every symbol the static library defines for the linker is the C API's
# (tonalyx_*) or in namespace tonalyx, so that a program's own closeInput()
# or getTickCount() neither clashes with the library's nor replaces it.
# Besides: what the compiler makes of tonalyx's own names (typeinfo,
# vtables, guards and statics of its functions, the destructor of a C
# handle holding C++ members), and, weak only, the standard library's
# template instances and their statics (they merge with a program's
# identical ones) and the exception tables' references (DW.ref.*).
#   check_symbols.sh NM LIBRARY.a ...
set -eu
nm=$1
shift
own='^(tonalyx_|_ZN[VKRO]*7tonalyx|_ZN[VKRO]*[0-9]+tonalyx_|_ZT[VISTHW]N7tonalyx|_ZGVZ?N7tonalyx|_ZZN7tonalyx)'
weak='^(_ZZ?N[VKRO]*S[tabs]|_ZZ?S[tabs]|_ZN[VKRO]*9__gnu_cxx|DW\.ref\.)'
symbols=$("$nm" -g --defined-only "$@" | awk 'NF == 3 { print $2, $3 }')
[ -n "$symbols" ] || { echo "no symbols read from $*"; exit 1; }
others=$(printf '%s\n' "$symbols" | awk -v own="$own" -v weak="$weak" '
    $2 ~ own { next }
    $1 ~ /^[WVu]$/ && $2 ~ weak { next }
    { print $2 }')
if [ -n "$others" ]; then
    echo "symbols outside namespace tonalyx and the C API:"
    printf '%s\n' "$others" | c++filt | sed 's/^/  /'
    exit 1
fi
echo "$(printf '%s\n' "$symbols" | wc -l) symbols checked: each tonalyx_* or tonalyx::, or weak and the compiler's"
