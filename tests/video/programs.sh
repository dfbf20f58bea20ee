#!/usr/bin/env bash
# The frei0r module in the real programs, on tiny frames, raw video piped
# through tiltshift between two ffmpegs, and the install tree and package.
# Usage: programs.sh CASE BUILD_DIR TILTSHIFT FREI0R_DIR SANITIZED
# Each case runs with its own HOME, FREI0R_PATH and GStreamer registry, so
# that an installed copy or a stale plug-in cache cannot stand in for the
# built module.
set -euo pipefail

case_name=$1 build=$2 tiltshift=$3 frei0r_dir=$4 sanitized=$5

# The pipe loads nothing into the programs: tiltshift runs as a process of its own.
if [[ $case_name != pipe && ($sanitized == 1 || $sanitized == ON || $sanitized == TRUE) ]]; then
    echo "skipped: an instrumented module cannot be loaded into Debian's uninstrumented ffmpeg, melt or gst-launch-1.0"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME=$work/home FREI0R_PATH=$frei0r_dir GST_REGISTRY=$work/gst-registry.bin
mkdir -p "$HOME"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# An image as raw RGBA bytes.
raw() {
    ffmpeg -nostdin -v error -y -i "$1" -f rawvideo -pix_fmt rgba "$2"
}

# Two images, bit for bit.
same_image() {
    raw "$1" "$1.rgba"
    raw "$2" "$2.rgba"
    cmp -s "$1.rgba" "$2.rgba" || fail "$1 and $2 differ: $(cmp "$1.rgba" "$2.rgba" 2>&1 | head -1)"
}

FRAME_BYTES=$((64 * 48 * 4))

# A numbered image sequence from its first number on, as raw RGBA frames.
sequence_raw() {
    ffmpeg -nostdin -v error -y -start_number "$2" -i "$1" -f rawvideo -pix_fmt rgba "$3"
}

# Of two raw sequences: the largest difference of a channel, and in how many frames they differ.
differences() {
    { cmp -l "$1" "$2" || true; } | awk -v frame_bytes=$FRAME_BYTES '
        function octal(s,   v, i) { v = 0; for (i = 1; i <= length(s); i++) v = v * 8 + substr(s, i, 1); return v }
        { d = octal($2) - octal($3); if (d < 0) d = -d; if (d > m) m = d; differing[int(($1 - 1) / frame_bytes)] = 1 }
        END { n = 0; for (f in differing) n++; print m + 0, n }'
}

# A clip of three frames, different from each other.
clip() {
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=s=64x48:r=24 -frames:v 3 in%d.png
}

# melt's frames at 64 x 48, as RGBA throughout: no colour conversion on the way.
melt_run() {
    local real_time=$1 prefix=$2
    printf 'description=tiny\nwidth=64\nheight=48\nprogressive=1\nsample_aspect_num=1\nsample_aspect_den=1\ndisplay_aspect_num=4\ndisplay_aspect_den=3\nframe_rate_num=24\nframe_rate_den=1\ncolorspace=709\n' >profile
    # melt 7.12 now and then hangs as it starts, or ends at once, before any
    # frame, with or without the filter; such a run is tried again.
    local attempt status
    for attempt in 1 2 3; do
        status=0
        timeout 30 melt -quiet -profile "$work/profile" in1.png out=23 \
            -filter frei0r.tiltshift "Blur Amount=0=0;23=1" "Inner Width=0.0625" "Type=0" \
            -consumer "avformat:$prefix%02d.png" vcodec=png pix_fmt=rgba mlt_image_format=rgba real_time="$real_time" \
            </dev/null >melt.log 2>&1 || status=$?
        if ((status == 0 || status == 124)) && ! compgen -G "$prefix*.png" >/dev/null; then
            echo "melt stopped before its first frame; again"
            continue
        fi
        ((status == 0)) || { cat melt.log; fail "melt failed ($status)"; }
        return
    done
    fail "melt stopped before its first frame three times"
}

# Both routes with the same values: the filter's 0..1 in order, and the
# values they stand for.
RADIAL_FREI0R="0|0.25|0|0.6|0.25|0.5|0.125|0.6|0.0625|0|0.6551724137931034|0.3333333333333333|0.5|0.5|0.2/0.4/0.6|0.06666666666666667|n|y"
RADIAL_TOOL=(--param "Blur Amount=25" --param "Center=16,24" --param "Direction=45" --param "Ratio=3.08"
    --param "Inner Width=12.5" --param "Chromatic Aberration=5" --param "Vignetting=50"
    --param "Vignetting Color=0.2,0.4,0.6" --param "Blending Mode=Add" --param "Repeat Edge Pixels=off")
LINEAR_FREI0R="1|0.5|0.1|0.2|0.5|0.75|0.25|0.5|0.05|1|0.5|0.75|0|0|0/0/0|0.13333333333333333|y|y"
LINEAR_TOOL=(--param "Type=Linear" --param "Blur Amount=50" --param "Blur Offset=10" --param "Weight=1"
    --param "Center=32,36" --param "Direction=90" --param "Ratio=2.6" --param "Inner Width=10"
    --param "Linear Mode=Focus Distance" --param "Power=1.55"
    --param "Focus Distance=1625")

# ffmpeg's frames through the filter against tiltshift render of the same frames.
check_ffmpeg_route() {
    local tool=$1
    clip
    local look
    for look in RADIAL LINEAR; do
        local frei0r_values=${look}_FREI0R tool_values="${look}_TOOL[@]"
        ffmpeg -nostdin -v error -i in%d.png -vf "frei0r=tiltshift:${!frei0r_values}" out%d.png
        "$tool" render in%d.png -o ref%d.png --frames 1-3 "${!tool_values}" 2>/dev/null
        for i in 1 2 3; do
            same_image "out$i.png" "ref$i.png"
            raw "in$i.png" "in$i.png.rgba"
            ! cmp -s "in$i.png.rgba" "out$i.png.rgba" || fail "$look frame $i came out unchanged"
        done
    done
}

case $case_name in
ffmpeg)
    check_ffmpeg_route "$tiltshift"
    ;;

melt)
    # Blur Amount keyframed from 0 at frame 0 to 1 (100) at frame 23, against
    # tiltshift render with the same keyframes, frame by frame.
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=s=64x48 -frames:v 1 in1.png
    melt_run -1 m
    for i in $(seq 0 23); do
        cp in1.png "still$i.png"
    done
    "$tiltshift" render still%d.png -o ref%d.png --frames 0-23 --param "Blur Amount=0@0,100@23" \
        --param "Inner Width=12.5" 2>/dev/null
    sequence_raw m%02d.png 1 melt.rgba
    sequence_raw ref%d.png 0 ref.rgba
    [[ $(stat -c %s melt.rgba) == $((24 * FRAME_BYTES)) ]] || fail "melt wrote no 24 frames"
    read -r largest frames < <(differences melt.rgba ref.rgba)
    ((largest <= 1)) || fail "melt's frames differ from tiltshift render's by up to $largest levels"
    echo "melt: $((24 - frames)) of 24 frames bit for bit, the others within one level"
    ;;

melt_threads)
    # Two instances on two threads, as one instance on one thread.
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=s=64x48 -frames:v 1 in1.png
    melt_run -1 one
    melt_run -2 two
    sequence_raw one%02d.png 1 one.rgba
    sequence_raw two%02d.png 1 two.rgba
    cmp one.rgba two.rgba || fail "melt with real_time=-2 renders other frames"
    ;;

pipe)
    # ffmpeg's 16-bit frames through tiltshift and on into ffmpeg, against
    # the file route on the same frames; keyframes count from frame 0.
    size=64x48 frame=$((64 * 48 * 8))
    look=(--param "Blur Amount=0@0,60@2" --param "Inner Width=10" --param "Vignetting=40")
    to_tiltshift=(render - -o - --size $size --pix-fmt rgba64le)
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=$size:rate=5 -frames:v 3 -f rawvideo -pix_fmt rgba64le - |
        "$tiltshift" "${to_tiltshift[@]}" "${look[@]}" 2>pipe.log |
        ffmpeg -v error -f rawvideo -pix_fmt rgba64le -s $size -i - -f rawvideo -pix_fmt rgba64le piped.raw
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=$size:rate=5 -frames:v 3 -pix_fmt rgba64be -start_number 0 \
        in%d.png
    "$tiltshift" render in%d.png -o ref%d.png "${look[@]}" 2>/dev/null
    ffmpeg -nostdin -v error -start_number 0 -i ref%d.png -f rawvideo -pix_fmt rgba64le ref.raw
    [[ $(stat -c %s piped.raw) == $((3 * frame)) ]] || fail "the pipe passed $(stat -c %s piped.raw) bytes, not 3 frames"
    cmp piped.raw ref.raw || fail "the pipe's frames differ from the file route's"
    ! cmp -s <(head -c $frame piped.raw) <(tail -c $frame piped.raw) || fail "frames 0 and 2 came out alike"

    # A stream cut inside frame 2 keeps frames 0 and 1; an empty one is an
    # error too; neither writes anything but frames to standard output.
    ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=$size:rate=5 -frames:v 3 -f rawvideo -pix_fmt rgba64le in.raw
    for cut in $((2 * frame + 1000)) 0; do
        status=0
        head -c $cut in.raw | "$tiltshift" "${to_tiltshift[@]}" "${look[@]}" >cut.raw 2>cut.log || status=$?
        ((status == 1)) || fail "a stream of $cut bytes: exit status $status, not 1"
        if ((cut > 0)); then
            grep -q "ended inside frame 2" cut.log || fail "the cut frame is not named: $(cat cut.log)"
            cmp cut.raw <(head -c $((2 * frame)) piped.raw) || fail "the frames before the cut are not written whole"
        else
            grep -q "holds no frames" cut.log || fail "an empty stream is not named so: $(cat cut.log)"
            [[ ! -s cut.raw ]] || fail "an empty stream wrote something"
        fi
    done

    # Mistakes on the command line exit with 2 and say what is missing.
    status=0
    "$tiltshift" render - -o - --pix-fmt rgba </dev/null >usage.out 2>usage.log || status=$?
    ((status == 2)) && grep -q -- "--size" usage.log && [[ ! -s usage.out ]] ||
        fail "without --size: exit status $status, $(cat usage.log)"
    ;;

gstreamer)
    element=frei0r-filter-nerevo-tilt-shift
    gst-inspect-1.0 "$element" >/dev/null 2>&1 || fail "GStreamer does not find $element"
    for route in filtered plain; do
        if [[ $route == filtered ]]; then
            stage=("$element" inner-width=0.05 blur-amount=0.5)
        else
            stage=(identity)
        fi
        gst-launch-1.0 -q videotestsrc num-buffers=2 pattern=smpte ! video/x-raw,width=64,height=48 ! videoconvert \
            ! video/x-raw,format=RGBA ! "${stage[@]}" ! videoconvert ! video/x-raw,format=RGBA \
            ! filesink location="$route.rgba"
    done
    [[ $(stat -c %s filtered.rgba) == $((64 * 48 * 4 * 2)) ]] || fail "gst-launch-1.0 did not pass two frames"
    # The centre is inside the sharp ellipse; the top row is blurred.
    centre=$(((24 * 64 + 32) * 4))
    cmp -s <(tail -c +$((centre + 1)) filtered.rgba | head -c 4) <(tail -c +$((centre + 1)) plain.rgba | head -c 4) ||
        fail "the sharp centre changed"
    ! cmp -s <(head -c 256 filtered.rgba) <(head -c 256 plain.rgba) || fail "the top row did not blur"
    ;;

kdenlive)
    xml=$build/frei0r/frei0r_tiltshift.xml
    shipped=/usr/share/kdenlive/effects
    [[ -d $shipped ]] || { echo "skipped: no $shipped (kdenlive-data) to hold the description against"; exit 77; }
    xmllint --noout "$xml"
    [[ $(xmllint --xpath 'string(/group/effect/@tag)' "$xml") == frei0r.tiltshift ]] || fail "the effect is not frei0r.tiltshift"
    # The parameters MLT reports, in order, are the ones described.
    melt -query filter=frei0r.tiltshift | sed -n 's/^    title: //p' >mlt-names
    n=$(xmllint --xpath 'count(/group/effect/parameter)' "$xml")
    for ((i = 1; i <= n; i++)); do
        xmllint --xpath "string(/group/effect/parameter[$i]/@name)" "$xml"
    done >xml-names
    diff mlt-names xml-names || fail "the description's parameters are not MLT's"
    # Only parameter types and attributes the shipped descriptions use.
    for what in type attributes; do
        for f in "$shipped"/*.xml; do
            if [[ $what == type ]]; then
                xmllint --xpath '//parameter/@type' "$f" 2>/dev/null || true
            else
                xmllint --xpath '//parameter/@*' "$f" 2>/dev/null || true
            fi
        done | grep -o '[a-z_]*="[^"]*"' | { if [[ $what == type ]]; then cat; else sed 's/=.*//'; fi; } | sort -u >"known-$what"
    done
    xmllint --xpath '//parameter/@type' "$xml" | grep -o '[a-z_]*="[^"]*"' | sort -u >our-type
    xmllint --xpath '//parameter/@*' "$xml" | grep -o '[a-z_]*="[^"]*"' | sed 's/=.*//' | sort -u >our-attributes
    unknown=$(comm -23 our-type known-type; comm -23 our-attributes known-attributes)
    [[ -z $unknown ]] || fail "not used by any shipped description: $unknown"
    # Each list shows as many items as it has values; each default lies in 0..1.
    for ((i = 1; i <= n; i++)); do
        p="/group/effect/parameter[$i]"
        default=$(xmllint --xpath "string($p/@default)" "$xml")
        if [[ $(xmllint --xpath "string($p/@type)" "$xml") == list ]]; then
            values=$(xmllint --xpath "string($p/@paramlist)" "$xml" | tr ';' '\n' | wc -l)
            shown=$(xmllint --xpath "string($p/paramlistdisplay)" "$xml" | tr ',' '\n' | wc -l)
            ((values == shown)) || fail "list $i: $values values, $shown names"
            xmllint --xpath "string($p/@paramlist)" "$xml" | tr ';' '\n' | grep -qx -- "$default" ||
                fail "list $i: default $default is none of its values"
        elif [[ $default != 0x* ]]; then
            awk -v d="$default" 'BEGIN { exit !(d >= 0 && d <= 1) }' || fail "parameter $i: default $default outside 0..1"
        fi
    done
    ;;

install)
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >install.log
    for f in bin/tiltshift lib/frei0r-1/tiltshift.so lib/nerevo-tiltshift/NerevoTiltShift.so \
        share/kdenlive/effects/frei0r_tiltshift.xml; do
        [[ -f $prefix/$f ]] || fail "$f not installed"
    done
    [[ -z $(find "$prefix/lib/frei0r-1" -type f ! -name tiltshift.so) ]] || fail "more than the filter in lib/frei0r-1"
    export FREI0R_PATH=$prefix/lib/frei0r-1
    check_ffmpeg_route "$prefix/bin/tiltshift"
    # Linked into the user's frei0r folder, the filter still finds the plug-in.
    mkdir -p "$HOME/.frei0r-1/lib" "$work/empty"
    ln -s "$prefix/lib/frei0r-1/tiltshift.so" "$HOME/.frei0r-1/lib/"
    export FREI0R_PATH=$work/empty
    rm -f out*.png ref*.png in*.png
    check_ffmpeg_route "$prefix/bin/tiltshift"
    ;;

package)
    cpack --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
    deb=$(ls "$work"/package/nerevo-tiltshift_*.deb)
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >files
    printf '%s\n' ./usr/bin/tiltshift ./usr/lib/frei0r-1/tiltshift.so ./usr/lib/nerevo-tiltshift/NerevoTiltShift.so \
        ./usr/share/kdenlive/effects/frei0r_tiltshift.xml | sort >expected
    diff expected files || fail "the package's files"
    [[ $(dpkg-deb -f "$deb" Package) == nerevo-tiltshift ]] || fail "package name"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libc6 libstdc++6 libcairo2 libopenimageio; do
        [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
    done
    dpkg-deb -I "$deb"
    ;;

*)
    fail "no case $case_name"
    ;;
esac
echo "ok: $case_name"
