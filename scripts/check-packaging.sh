#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks an already built tree (default build/) the way a packager and a widget user meet it:
#   - the desktop entry and the AppStream metainfo validate;
#   - `cmake --install` to a scratch prefix gives the program folder, launcher, icons and the
#     CMake packages, with an RPATH of $ORIGIN, and the installed program starts;
#   - the consumer example configures against the installed packages, builds and runs;
#   - the installed Designer plugins find their widget libraries;
#   - `cpack -G DEB` builds the Debian package, with its Depends worked out, and the package
#     unpacked into a scratch root holds what it must and finds all its libraries.
# (The Windows parts are built and tested under Wine by scripts/wine-tests.sh.)
# Nothing is installed into this machine: every step works in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build_dir=$(realpath "${1:-build}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

passed=0
failed=0
step() {
    local name=$1
    shift
    local started=$SECONDS
    if "$@" >"$scratch/step.log" 2>&1; then
        passed=$((passed + 1))
        echo "packaging: ok   $name ($((SECONDS - started)) s)"
    else
        failed=$((failed + 1))
        echo "packaging: FAIL $name"
        sed 's/^/    /' "$scratch/step.log"
    fi
}

# The program is only ever started disarmed, without a session switch, as a dry run, and away
# from the machine's buses.
start_program() {
    local status=0
    env QT_QPA_PLATFORM=offscreen VESPERON_DRY_RUN=1 \
        DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
        XDG_CONFIG_HOME="$scratch/config" \
        timeout 3 "$1" --dry-run || status=$?
    # Still running when the time was up: it started and waited, disarmed.
    [[ $status -eq 124 ]]
}

no_missing_libraries() {
    local file
    for file in "$@"; do
        if ldd "$file" | grep "not found"; then
            echo "$file: libraries not found"
            return 1
        fi
    done
}

runpath_is_origin() {
    local file
    for file in "$@"; do
        readelf -d "$file" | grep -q 'RUNPATH.*\[\$ORIGIN\]' || { echo "$file: no \$ORIGIN runpath"; return 1; }
    done
}

has_files() {
    local root=$1
    shift
    local file
    for file in "$@"; do
        [[ -e $root/$file ]] || { echo "missing: $file"; return 1; }
    done
}

program_folder=(lib/vesperon/Vesperon lib/vesperon/libDurix.so lib/vesperon/libTamsel_Clock.so
    lib/vesperon/libVesperonHosting.so lib/vesperon/libVesperonComponents.so
    lib/vesperon/libVesperonRegion.so lib/vesperon/sound/shereIam.wav lib/vesperon/sound/skill.wav)
integration=(bin/vesperon share/applications/org.vesperon.Vesperon.desktop
    share/metainfo/org.vesperon.Vesperon.metainfo.xml
    share/icons/hicolor/32x32/apps/org.vesperon.Vesperon.png
    share/icons/hicolor/256x256/apps/org.vesperon.Vesperon.png)
development=(include/Durix/spanfield.h include/Durix/durix_export.h include/Tamsel_Clock/tamselclock.h
    include/VesperonHosting/hostedcontrol.h lib/cmake/Durix/DurixConfig.cmake
    lib/cmake/Tamsel_Clock/Tamsel_ClockConfig.cmake lib/cmake/VesperonHosting/VesperonHostingConfig.cmake)

prefix=$scratch/prefix
install_tree() {
    cmake --install "$build_dir" --prefix "$prefix"
    has_files "$prefix" "${program_folder[@]}" "${integration[@]}" "${development[@]}"
    runpath_is_origin "$prefix"/lib/vesperon/Vesperon "$prefix"/lib/vesperon/lib*.so
    no_missing_libraries "$prefix"/lib/vesperon/Vesperon
}
validate_metadata() {
    desktop-file-validate "$prefix/share/applications/org.vesperon.Vesperon.desktop"
    appstreamcli validate --no-net "$prefix/share/metainfo/org.vesperon.Vesperon.metainfo.xml"
}
designer_plugins() {
    local plugins=("$prefix"/lib/*/qt6/plugins/designer/lib*Designer.so)
    [[ ${#plugins[@]} -eq 2 && -e ${plugins[0]} ]] || { echo "plugins: ${plugins[*]}"; return 1; }
    no_missing_libraries "${plugins[@]}"
    local plugin
    for plugin in "${plugins[@]}"; do
        ldd "$plugin" | grep -q "=> $prefix/.*vesperon/lib" || { echo "$plugin: widget library not from $prefix"; return 1; }
    done
}
consumer() {
    cmake -S "$source_dir/examples/consumer" -B "$scratch/consumer" -G Ninja \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$scratch/consumer"
    local output
    output=$(QT_QPA_PLATFORM=offscreen "$scratch/consumer/consumer" --print)
    echo "$output"
    grep -q "Spanfield SecondsPastMidnight=3661 ShowSeconds=1" <<<"$output"
    grep -q "TamselClock SmallUnits=60 BigUnits=12" <<<"$output"
}
debian_package() {
    (cd "$build_dir" && cpack -G DEB -B "$scratch/deb")
    local deb
    deb=$(ls "$scratch"/deb/vesperon_*.deb)
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    local needed
    for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6multimedia6; do
        grep -q "\b$needed\b" <<<"$depends" || { echo "Depends lacks $needed"; return 1; }
    done
    if dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$'; then
        echo "files outside /usr"
        return 1
    fi
    dpkg-deb -x "$deb" "$scratch/root"
    has_files "$scratch/root/usr" "${program_folder[@]}" "${integration[@]}" "${development[@]}"
    no_missing_libraries "$scratch/root/usr/lib/vesperon/Vesperon"
}
step "install to a scratch prefix" install_tree
step "desktop entry and metainfo validate" validate_metadata
step "installed program starts" start_program "$prefix/bin/vesperon"
step "installed Designer plugins find the widgets" designer_plugins
step "consumer project against the installed packages" consumer
step "Debian package, unpacked into a scratch root" debian_package

echo "packaging checks: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
