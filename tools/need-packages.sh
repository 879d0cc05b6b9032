# Sourced by run.sh and test.sh: makes sure the Debian packages a step needs
# are installed. As root, installs what is missing; otherwise names the
# packages and stops.
#
#   need_packages "what they are for" "test:package" ...
# where test is a command name, or a path that must exist (starting with /).
need_packages() {
    local purpose=$1
    shift
    local missing=() item test package
    for item in "$@"; do
        test=${item%%:*}
        package=${item#*:}
        if [[ $test == /* ]]; then
            [[ -e $test ]] && continue
        else
            command -v "$test" >/dev/null 2>&1 && continue
        fi
        missing+=("$package")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null 2>&1; then
        echo "Installing for $purpose: ${missing[*]}" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
        return
    fi
    echo "Missing for $purpose: ${missing[*]}" >&2
    echo "Install them (Debian, Ubuntu) with: sudo apt-get install ${missing[*]}" >&2
    exit 1
}

build_packages=("g++:g++" "make:make" "cmake:cmake")
