# Sourced by the scripts that run Kelvora under Wine: a private 64-bit prefix
# inside the build folder, quiet, with fonts and a virtual desktop. With
# Wine's 32-bit half installed (wine32:i386, see tools/setup-packages.sh) the
# prefix runs 32-bit programs too, as 64-bit Windows does: they get SysWOW64,
# "Program Files (x86)" and Software\Wow6432Node.
# Expects KELVORA_BUILD (the Windows build folder).
export WINEPREFIX="$KELVORA_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine maps Desktop, Documents and the Recycle Bin into $HOME and $XDG_*:
# keep them inside the build folder.
export HOME="$KELVORA_BUILD/winehome"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$HOME/.run"
WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Wine's background processes must not inherit a pipe that someone waits on
# (ctest would then hang): every start here has its streams on /dev/null.
kelvora_wine_start() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/.kelvora-ready" ]; then
    taskset -c 0 "$WINESERVER" -p </dev/null >/dev/null 2>&1
    taskset -c 0 "$WINE64" wineboot --init </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    taskset -c 0 "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    taskset -c 0 "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.kelvora-ready"
    # The service manager of a new prefix started before the prefix's setup
    # installed the services, and it cannot start those (the Task Scheduler
    # among them) until the prefix starts again.
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  fi
  # A prefix made before wine32 was installed has no SysWOW64: the update
  # adds the 32-bit half.
  if [ -x "$WINE32" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    taskset -c 0 "$WINESERVER" -p </dev/null >/dev/null 2>&1
    taskset -c 0 "$WINE64" wineboot --update </dev/null >/dev/null 2>&1
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  fi
  # Pinning wineserver and the programs to one CPU makes each registry round
  # trip about ten times cheaper on these two-CPU machines.
  taskset -c 0 "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # The first Wine program starts the prefix's background processes
  # (services, explorer); start them here, not from inside ctest.
  taskset -c 0 "$WINE64" wineboot </dev/null >/dev/null 2>&1
}

kelvora_wine_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

# A private X display for tests (Xvfb), when none is given.
kelvora_xvfb_start() {
  local n=$((90 + RANDOM % 100))
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  KELVORA_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

kelvora_xvfb_stop() {
  [ -n "${KELVORA_XVFB_PID:-}" ] && kill "$KELVORA_XVFB_PID" 2>/dev/null || true
}
