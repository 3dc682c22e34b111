#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks an already built tree (default build/) the way a packager and a widget user meet it:
#   - the desktop entry and the AppStream metainfo validate;
#   - `cmake --install` to a scratch prefix gives the program folder, launcher, icons and the
#     CMake packages, with an RPATH of $ORIGIN, and the installed program starts;
#   - only the real public headers are installed, and neither the program nor the installed
#     libraries carry the test doubles or show the clock's private region component;
#   - the consumer example configures against the installed packages, builds and runs;
#   - a host that links only Durix (or only Tamsel_Clock) and creates the control by its identifier
#     builds with the default linker flags and finds the control registered;
#   - the installed Designer plugin finds the widget libraries;
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
        # Whole outputs into grep -q: it stops reading at the first match, which under pipefail would
        # fail a pipe whose writer is still writing.
        grep -q 'RUNPATH.*\[\$ORIGIN\]' <<<"$(readelf -d "$file")" || { echo "$file: no \$ORIGIN runpath"; return 1; }
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

program_folder=(lib/vesperon/Vesperon lib/vesperon/libDurix.so.1 lib/vesperon/libTamsel_Clock.so.1
    lib/vesperon/libVesperonHosting.so.1 lib/vesperon/libVesperonCommon.so.1 lib/vesperon/libVesperonComponents.so.1
    lib/vesperon/sound/shereIam.wav lib/vesperon/sound/skill.wav)
integration=(bin/vesperon share/applications/org.vesperon.Vesperon.desktop
    share/dbus-1/services/org.vesperon.Vesperon.service
    share/metainfo/org.vesperon.Vesperon.metainfo.xml
    share/icons/hicolor/32x32/apps/org.vesperon.Vesperon.png
    share/icons/hicolor/256x256/apps/org.vesperon.Vesperon.png)
development=(include/Durix/spanfield.h include/Durix/durix_export.h include/Tamsel_Clock/tamselclock.h
    include/VesperonHosting/hostedcontrol.h include/VesperonCommon/valuerules.h lib/vesperon/libDurix.so
    lib/cmake/Durix/DurixConfig.cmake lib/cmake/Tamsel_Clock/Tamsel_ClockConfig.cmake
    lib/cmake/VesperonHosting/VesperonHostingConfig.cmake lib/cmake/VesperonCommon/VesperonCommonConfig.cmake)
# What the libraries keep to themselves, and the test doubles, which only tests link.
internal_headers=(clockmath.h facesurface.h quillory.h shapedsurface.h durationvalue.h tokens.h spanfieldfield.h
    manualtimesource.h recordingsessionbackend.h recordingsoundplayer.h)
test_doubles='ManualTimeSource|RecordingSessionBackend|RecordingSoundPlayer'


prefix=$scratch/prefix
install_tree() {
    cmake --install "$build_dir" --prefix "$prefix"
    has_files "$prefix" "${program_folder[@]}" "${integration[@]}" "${development[@]}"
    runpath_is_origin "$prefix"/lib/vesperon/Vesperon "$prefix"/lib/vesperon/lib*.so.1
    no_missing_libraries "$prefix"/lib/vesperon/Vesperon
}
validate_metadata() {
    desktop-file-validate "$prefix/share/applications/org.vesperon.Vesperon.desktop"
    # The session bus starts the installed launcher for the desktop entry's name.
    grep -qx "Exec=$prefix/bin/vesperon" "$prefix/share/dbus-1/services/org.vesperon.Vesperon.service"
    grep -qx "Name=org.vesperon.Vesperon" "$prefix/share/dbus-1/services/org.vesperon.Vesperon.service"
    appstreamcli validate --no-net "$prefix/share/metainfo/org.vesperon.Vesperon.metainfo.xml"
}
only_public_parts() {
    local header found
    for header in "${internal_headers[@]}"; do
        found=$(find "$prefix" -name "$header")
        [[ -z $found ]] || { echo "installed: $found"; return 1; }
    done
    if find "$prefix" -name '*Region*' | grep .; then
        echo "the clock's region component is installed"
        return 1
    fi
    if grep -l 'Region' "$prefix"/lib/cmake/*/*.cmake; then
        echo "a package names the clock's region component"
        return 1
    fi
    local file
    for file in "$prefix"/lib/vesperon/Vesperon "$prefix"/lib/vesperon/lib*.so.1; do
        if nm -C "$file" | grep -E "$test_doubles"; then
            echo "$file: carries test doubles"
            return 1
        fi
    done
    if nm -D -C --defined-only "$prefix"/lib/vesperon/libTamsel_Clock.so.1 | grep -E 'Quillory|ShapedSurface'; then
        echo "libTamsel_Clock shows the region component"
        return 1
    fi
}
designer_plugins() {
    local plugins=("$prefix"/lib/*/qt6/plugins/designer/lib*Designer.so)
    [[ ${#plugins[@]} -eq 1 && -e ${plugins[0]} ]] || { echo "plugins: ${plugins[*]}"; return 1; }
    no_missing_libraries "${plugins[@]}"
    local plugin
    for plugin in "${plugins[@]}"; do
        grep -q "=> $prefix/.*vesperon/lib" <<<"$(ldd "$plugin")" || { echo "$plugin: widget library not from $prefix"; return 1; }
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
# A host that links one control package and nothing else and knows the control only by its
# identifier: built with the toolchain's default linker flags (GCC on Debian passes --as-needed).
identifier_host() {
    local package=$1 programmatic_id=$2
    local build=$scratch/host-$package
    cmake -S "$source_dir/examples/identifierhost" -B "$build" -G Ninja \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release -DVESPERON_CONTROL_PACKAGE="$package"
    cmake --build "$build" --verbose
    local output
    output=$(QT_QPA_PLATFORM=offscreen "$build/identifierhost" "$programmatic_id")
    echo "$output"
    grep -q "^$programmatic_id created" <<<"$output"
}
debian_package() {
    (cd "$build_dir" && cpack -G DEB -B "$scratch/deb")
    local deb
    deb=$(ls "$scratch"/deb/vesperon_*.deb)
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    local needed
    for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libpulse0; do
        grep -q "\b$needed\b" <<<"$depends" || { echo "Depends lacks $needed"; return 1; }
    done
    if grep -q "libqt6multimedia" <<<"$depends"; then
        echo "Depends names Qt Multimedia, which the program no longer uses"
        return 1
    fi
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
step "only public headers installed, no test doubles shipped" only_public_parts
step "installed Designer plugin finds the widgets" designer_plugins
step "consumer project against the installed packages" consumer
step "host with only Durix creates Durix.Spanfield by identifier" identifier_host Durix Durix.Spanfield
step "host with only Tamsel_Clock creates Tamsel_Clock.TamselClock by identifier" \
    identifier_host Tamsel_Clock Tamsel_Clock.TamselClock
step "Debian package, unpacked into a scratch root" debian_package

echo "packaging checks: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
