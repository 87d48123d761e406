# Shared by the benchmark scripts (compare.sh, ime.sh): CPU times, percentiles, keys, proofs.
# Source after tests/e2e/lib-screen.sh.

# CPU time of all the threads of a process in microseconds (schedstat counts nanoseconds; the
# clock-tick counters of /proc/<pid>/stat are too coarse for idle and per-key costs).
cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s / 1000 }'; }
ms() { awk -v u="$1" -v d="${2:-1}" 'BEGIN { printf "%.2f", u / 1000 / d }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f×", a / b; else print "n/a" }'; }

# on <window>: gives the window the keyboard focus.
on() {
    WIN=$1
    e2e_focus
}

# percentiles <file of photon latencies>: "median p99 missed".
percentiles() {
    local missed
    missed=$(grep -c missed "$1")
    grep -v missed "$1" | sort -n | awk -v missed="$missed" '{ a[NR] = $1 }
        END { printf "%.2f %.2f %d", a[int((NR + 1) / 2)], a[int((NR - 1) * 0.99 + 0.5) + 1], missed }'
}

# repeat <count> <keycode...>: the keycodes cycled to make up `count` keys.
repeat() {
    local count=$1 out=() i
    shift
    local keys=("$@")
    for ((i = 0; i < count; i++)); do out+=("${keys[i % ${#keys[@]}]}"); done
    printf '%s ' "${out[@]}"
}

# proven <figure> <shot> <form> <checks...>: the figure when the screenshot passes the checks,
# "refused" otherwise.
proven() {
    local figure=$1
    shift
    if (SCREEN_WAIT=3 screen_expect "$@") 2>>"$E2E_TMP/proofs.log"; then
        printf '%s' "$figure"
    else
        printf 'refused (nothing drawn)'
    fi
}

readonly LETTERS=(38 56 54 40 26 41 42 43 31 44 45 46 58 57 32 33 24 27 39 28 30 55 25 53 29 52) # a to z
readonly BACKSPACE=22
