# Sourced by the install checks: builds the programs in consumer/ against
# an installed Tonalyx and checks what they print for the 440-period
# example: its worked result line and verdict, how a missing file is told,
# and (through the C interface, at length 4096) the line, the number of
# candidates and the version. Windows programs print CR LF: compared as LF.
consumer_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/consumer" && pwd)
want_cpp=$'bestResult=0.497611 best matching freq.=440 ok 46\ncannot-open ERROR: Inp.wave file not found: no-such.wav'
want_c=$'bestResult=0.500232 best matching freq.=440 46 1.0 1\nno-report []'

expect() {  # what, wanted, got
    [ "$2" = "$3" ] || { printf '%s:\nwanted: %s\ngot:    %s\n' "$1" "$2" "$3"; exit 1; }
}

# build_consumer FOLDER CMAKE_ARGUMENT...
build_consumer() {
    local folder=$1
    shift
    cmake -S "$consumer_source" -B "$folder" "$@" >/dev/null
    cmake --build "$folder" >/dev/null
}

# run_consumer FOLDER EXAMPLE [EMULATOR...]: the C++ program runs in an
# empty folder (no no-such.wav there).
run_consumer() {
    local folder=$1 example=$2 empty suffix=
    shift 2
    [ -e "$folder/consumer_c" ] || suffix=.exe
    empty=$(mktemp -d)
    expect "C++ consumer ($folder)" "$want_cpp" \
        "$(cd "$empty" && "$@" "$folder/consumer_cpp$suffix" "$example" | tr -d '\r')"
    rmdir "$empty"
    expect "C consumer ($folder)" "$want_c" "$("$@" "$folder/consumer_c$suffix" "$example" | tr -d '\r')"
}
