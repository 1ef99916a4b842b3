# Starts a private desktop for the tests; sourced by scripts/test.
# Everything lives in one temporary folder and every process is recorded, so
# the EXIT trap stops exactly what was started and removes the folder.
# VELTRINE_TEST_WM names the window manager: openbox (the default), kwin,
# mutter, xfwm4 or i3, each with its own default settings (the desktop's home
# is new); the tiling bspwm, herbstluftwm, awesome, spectrwm and dwm run with
# their packaged configurations. It stays exported, with VELTRINE_TEST_WM_PID,
# for the tests.
# The screen is 1280x800 unless VELTRINE_TEST_SCREEN gives another size
# (WIDTHxHEIGHT, in device pixels). VELTRINE_TEST_DOCK=EDGE:PIXELS (top or
# bottom, say bottom:66) makes the tray host a dock along that edge that
# reserves its space, as a desktop panel does: the window manager leaves it out
# of the work area. VELTRINE_TEST_DPI sets Xft.dpi (144 is KDE's and Xfce's
# 150 %), from which Qt takes its scale. All three stay exported.
# VELTRINE_TEST_IM=fcitx5 (or ibus) runs that input method for every program
# started after the desktop (see start_input_method).
# VELTRINE_TEST_TRAY puts a desktop's panel with its packaged settings in
# place of trayer (the default): xfce4-panel, mate-panel, lxqt-panel, tint2,
# lxpanel or polybar, "xfce4-panel:light" and "tint2:light" for the light
# variants they ship (start_panel). It stays exported.

desktop_pids=()
desktop_dir=""

stop_test_desktop() {
  local pid
  for ((i = ${#desktop_pids[@]} - 1; i >= 0; i--)); do
    pid=${desktop_pids[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${desktop_pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  [[ -n "$desktop_dir" ]] && rm -rf "$desktop_dir"
  return 0
}

wait_for() {  # wait_for <what> <command...>
  local what=$1; shift
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "test desktop: $what did not come up" >&2
  return 1
}

# Runs the window manager `name` on $DISPLAY in the foreground (exec: the
# process recorded is the window manager itself), as each starts on Xvfb.
start_window_manager() {  # start_window_manager <name>
  case "$1" in
    openbox) exec openbox --sm-disable ;;
    kwin) exec kwin_x11 --replace ;;  # composites, with software OpenGL here
    mutter) exec mutter --replace --x11 ;;  # composites as well
    xfwm4) exec xfwm4 --compositor=off ;;  # on Xvfb its compositor does not start anyway
    i3) write_i3_configuration "$desktop_dir/i3.config" && exec i3 -c "$desktop_dir/i3.config" ;;
    bspwm)  # its example configuration, as a user copies it
      install -D -m 0755 /usr/share/doc/bspwm/examples/bspwmrc "$HOME/.config/bspwm/bspwmrc"
      exec bspwm ;;
    herbstluftwm | awesome | spectrwm | dwm) exec "$1" ;;
    *) echo "test desktop: unknown window manager '$1' (openbox, kwin, mutter, xfwm4, i3," \
         "bspwm, herbstluftwm, awesome, spectrwm, dwm)" >&2; return 2 ;;
  esac
}

# What i3's first-run wizard writes when the user picks Super as the modifier
# (its template with the keys it binds), without the wizard itself, which holds
# the keyboard, and without the programs the template starts that a bare desktop
# lacks. The bar stays, without its status line and its tray: i3bar's tray would
# take the system tray from the test desktop's tray host.
write_i3_configuration() {  # write_i3_configuration <file>
  sed -e 's/^set \$mod .*/set $mod Mod4/' -e '/^exec /d' \
    -e 's/^\([[:space:]]*\)status_command .*/\1tray_output none/' /etc/i3/config.keycodes >"$1"
}

# Runs the desktop panel `name` on $DISPLAY in the foreground (exec), with the
# settings its package installs, as on a user's first login: the panels of
# Xfce, MATE and LXQt, whose trays host StatusNotifierItems as well as XEmbed
# icons, and tint2, lxpanel and polybar, whose trays are XEmbed only. A
# ":light" suffix picks the light variant the panel ships (xfce4-panel, tint2).
start_panel() {  # start_panel <name>[:light]
  local name=${1%%:*} variant=${1#*:}
  [[ "$variant" == "$1" ]] && variant=""
  case "$name" in
    xfce4-panel)  # xfconfd comes with the bus; the first run takes the default panels
      if [[ "$variant" == light ]]; then
        mkdir -p "$HOME/.config/xfce4/panel"
        sed 's/"dark-mode" type="bool" value="true"/"dark-mode" type="bool" value="false"/' \
          /etc/xdg/xfce4/panel/default.xml >"$desktop_dir/xfce4-panel-default.xml"
        export XDG_CONFIG_DIRS="$desktop_dir/xdg:/etc/xdg"
        install -D "$desktop_dir/xfce4-panel-default.xml" "$desktop_dir/xdg/xfce4/panel/default.xml"
      fi
      XFCE_PANEL_MIGRATE_DEFAULT=1 exec xfce4-panel --disable-wm-check ;;
    mate-panel) exec mate-panel ;;  # its default layout, its applets started by the bus
    lxqt-panel)  # as startlxqt starts it: LXQt's settings and theme plugin
      XDG_CONFIG_DIRS=/etc/xdg:/usr/share XDG_CURRENT_DESKTOP=LXQt QT_QPA_PLATFORMTHEME=lxqt exec lxqt-panel ;;
    tint2)
      if [[ "$variant" == light ]]; then exec tint2 -c /usr/share/tint2/horizontal-light-opaque.tint2rc; fi
      exec tint2 ;;
    lxpanel) exec lxpanel --profile default ;;
    polybar)  # its example bar, with the tray its configuration offers commented out
      sed 's/^; *tray-position = right/tray-position = right/' /etc/polybar/config.ini >"$desktop_dir/polybar.ini"
      exec polybar --config="$desktop_dir/polybar.ini" example ;;
    *) echo "test desktop: unknown panel '$1' (xfce4-panel, mate-panel, lxqt-panel, tint2, lxpanel," \
         "polybar)" >&2; return 2 ;;
  esac
}

# Waits until the panel's tray has taken the system tray, and, for a panel
# that hosts StatusNotifierItems, until it has registered as their host.
wait_for_panel() {  # wait_for_panel <name>[:light]
  wait_for "the system tray of $1" /usr/bin/python3 -c '
import ctypes
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
display = x.XOpenDisplay(None)
raise SystemExit(0 if x.XGetSelectionOwner(display, x.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)' || return 1
  case "${1%%:*}" in
    xfce4-panel | mate-panel | lxqt-panel)
      wait_for "the status notifier host of $1" sh -c 'dbus-send --session --print-reply \
        --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered | grep -q "boolean true"' ;;
  esac
}

# Waits until the window manager gives a newly mapped window the focus, as it
# does once it has started: xfwm4 names itself at once but leaves the windows
# mapped in its first seconds unfocused, and a window that got no focus when it
# mapped never gets it later. So each try maps a window of its own, which goes
# again. A window manager that never names an active window costs 15 tries.
wait_for_window_manager_focus() {
  local probe focused=""
  for _ in $(seq 15); do
    xterm -geometry 20x2 -title "test desktop probe" -e sleep 60 >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 50); do
      xdotool search --onlyvisible --pid "$probe" >/dev/null 2>&1 && break
      sleep 0.1
    done
    for _ in $(seq 10); do
      [[ "$(xdotool getactivewindow getwindowpid 2>/dev/null)" == "$probe" ]] && { focused=1; break; }
      sleep 0.1
    done
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
    [[ -n "$focused" ]] && return 0
  done
  echo "test desktop: the window manager $VELTRINE_TEST_WM gave no new window the focus" >&2
}

start_test_desktop() {
  desktop_dir=$(mktemp -d "${TMPDIR:-/tmp}/veltrine-desktop.XXXXXX")
  trap stop_test_desktop EXIT
  mkdir -m 0700 -p "$desktop_dir/run" "$desktop_dir/home" "$desktop_dir/tmp"
  export XDG_RUNTIME_DIR="$desktop_dir/run"
  export HOME="$desktop_dir/home"
  export TMPDIR="$desktop_dir/tmp"
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME WAYLAND_DISPLAY SESSION_MANAGER
  # The caller's input method serves the caller's display, not this one: the programs here
  # start without one (Qt's module would reach the system bus before a test names its own),
  # unless VELTRINE_TEST_IM names one (start_input_method).
  unset GTK_IM_MODULE QT_IM_MODULE QT_IM_MODULES XMODIFIERS SDL_IM_MODULE GLFW_IM_MODULE CLUTTER_IM_MODULE
  # Nor is the caller's desktop this one: the programs here see a plain X11 session and
  # draw on this display in their toolkit's own look (where XDG_CURRENT_DESKTOP names GNOME,
  # GNOME Terminal draws its own title bar, and its rows are no longer where the tests click).
  unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME GDK_BACKEND
  export XDG_SESSION_TYPE=x11

  # Display: Xvfb picks a free display number and writes it to descriptor 3.
  export VELTRINE_TEST_SCREEN=${VELTRINE_TEST_SCREEN:-1280x800}
  Xvfb -displayfd 3 -screen 0 "${VELTRINE_TEST_SCREEN}x24" -nolisten tcp -noreset \
    3>"$desktop_dir/display" >"$desktop_dir/xvfb.log" 2>&1 &
  desktop_pids+=($!)
  wait_for "the display" grep -q '^[0-9]' "$desktop_dir/display" || { cat "$desktop_dir/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$desktop_dir/display")"
  if [[ -n "${VELTRINE_TEST_DPI:-}" ]]; then
    echo "Xft.dpi: $VELTRINE_TEST_DPI" | xrdb -merge
  fi

  # Session bus, then the accessibility bus it launches on demand.
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" \
    >"$desktop_dir/dbus.log" 2>&1 &
  desktop_pids+=($!)
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
  unset AT_SPI_BUS_ADDRESS  # the caller's accessibility bus; this desktop's is asked of its session bus
  wait_for "the session bus" test -S "$XDG_RUNTIME_DIR/bus"
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$desktop_dir/atspi.log" 2>&1 &
  desktop_pids+=($!)
  wait_for "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  export NO_AT_BRIDGE=0

  # Window manager and a tray host, so the status item is really shown.
  export VELTRINE_TEST_WM=${VELTRINE_TEST_WM:-openbox}
  start_window_manager "$VELTRINE_TEST_WM" >"$desktop_dir/$VELTRINE_TEST_WM.log" 2>&1 &
  desktop_pids+=($!)
  export VELTRINE_TEST_WM_PID=$!
  wait_for "the window manager $VELTRINE_TEST_WM" xprop -root _NET_SUPPORTING_WM_CHECK ||
    { tail -n 20 "$desktop_dir/$VELTRINE_TEST_WM.log" >&2; return 1; }
  export VELTRINE_TEST_TRAY=${VELTRINE_TEST_TRAY:-trayer}
  if [[ "$VELTRINE_TEST_TRAY" == trayer ]]; then
    local tray=(--edge top --align right --widthtype pixel --width 200 --heighttype pixel --height 24)
    if [[ -n "${VELTRINE_TEST_DOCK:-}" ]]; then
      tray=(--edge "${VELTRINE_TEST_DOCK%%:*}" --align left --widthtype percent --width 100
            --heighttype pixel --height "${VELTRINE_TEST_DOCK##*:}" --SetDockType true --SetPartialStrut true)
    fi
    trayer "${tray[@]}" >"$desktop_dir/trayer.log" 2>&1 &
    desktop_pids+=($!)
    wait_for "the tray host" sh -c "xwininfo -root -tree | grep -q '\"trayer\"'"
  else
    start_panel "$VELTRINE_TEST_TRAY" >"$desktop_dir/panel.log" 2>&1 &
    desktop_pids+=($!)
    wait_for_panel "$VELTRINE_TEST_TRAY" || { tail -n 20 "$desktop_dir/panel.log" >&2; return 1; }
  fi

  # Sound server: a null output and a 48 kHz stereo pipe microphone, so the
  # recorder's resampling path is the one real machines take.
  export VELTRINE_TEST_MIC_PIPE="$desktop_dir/microphone.pipe"
  mkdir -p "$XDG_RUNTIME_DIR/pulse"
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --disable-shm -n \
    -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse/native auth-anonymous=1" \
    -L "module-null-sink sink_name=veltrine_speaker" \
    -L "module-pipe-source source_name=veltrine_microphone file=$VELTRINE_TEST_MIC_PIPE format=s16le rate=48000 channels=2 source_properties='device.description=\"Veltrine test microphone\"'" \
    -L "module-always-sink" \
    >"$desktop_dir/pulseaudio.log" 2>&1 &
  desktop_pids+=($!)
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  wait_for "the sound server" pactl info
  pactl set-default-source veltrine_microphone
  pactl set-default-sink veltrine_speaker
  wait_for_window_manager_focus
  if [[ -n "${VELTRINE_TEST_IM:-}" ]]; then
    start_input_method "$VELTRINE_TEST_IM" || return 1
  fi
  echo "test desktop: DISPLAY=$DISPLAY, bus and sound server in $XDG_RUNTIME_DIR"
}

# Runs the input method `name` as a user of a Chinese desktop has it: fcitx5
# with a profile of the US keyboard and Pinyin (Control+Space switches between
# them, the keyboard first), or ibus with its English keyboard, and exports the
# variables that send every program's keys through it: GTK and Qt programs load
# its module, X programs (xterm) reach it through XIM.
start_input_method() {  # start_input_method <name>
  case "$1" in
    fcitx5)
      mkdir -p "$HOME/.config/fcitx5"
      cat >"$HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
      cat >"$HOME/.config/fcitx5/config" <<'CONFIG'
[Hotkey/TriggerKeys]
0=Control+space
CONFIG
      fcitx5 --replace >"$desktop_dir/fcitx5.log" 2>&1 &
      desktop_pids+=($!)
      wait_for "the input method fcitx5" dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 \
        /controller org.fcitx.Fcitx.Controller1.CurrentInputMethod ||
        { tail -n 20 "$desktop_dir/fcitx5.log" >&2; return 1; }
      export GTK_IM_MODULE=fcitx QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
      ;;
    ibus)
      ibus-daemon --xim --panel=disable --replace >"$desktop_dir/ibus.log" 2>&1 &
      desktop_pids+=($!)
      wait_for "the input method ibus" ibus list-engine || { tail -n 20 "$desktop_dir/ibus.log" >&2; return 1; }
      export GTK_IM_MODULE=ibus QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
      ;;
    *) echo "test desktop: unknown input method '$1' (fcitx5, ibus)" >&2; return 2 ;;
  esac
}
