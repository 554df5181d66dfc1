# Sourced with the prefix folder as argument: sets up the environment for one test prefix
# and defines skelda_wine, which runs Wine there. A Chinese locale gives Wine the ANSI
# code page 936, as on a Chinese Windows; it is compiled beside the prefixes by make-prefix.sh.
#
# Wine's loader is called directly, never through Debian's `wine` script: that script takes the
# 32-bit loader whenever wine32 is installed, which fails for every program on a machine that
# cannot execute 32-bit code. A 64-bit prefix gets the 64-bit loader (it hands 32-bit programs
# on to the 32-bit one where that can run), a 32-bit prefix the 32-bit loader. The prefix's kind
# comes from WINEARCH while it is being made, else from its registry.
_prefix=$1
export WINEPREFIX="$_prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$_prefix/home"
export XDG_CONFIG_HOME="$_prefix/home/.config" XDG_DATA_HOME="$_prefix/home/.local/share"
_kind=${WINEARCH:-}
if [ -z "$_kind" ] && [ -f "$_prefix/system.reg" ] && grep -q '^#arch=win32' "$_prefix/system.reg"; then
  _kind=win32
fi
if [ "$_kind" = win32 ]; then
  SKELDA_WINE_LOADER=/usr/lib/wine/wine
else
  SKELDA_WINE_LOADER=/usr/lib/wine/wine64
  # Without the 32-bit loader Wine must be told which loader it runs under, as Debian's script does.
  [ -x /usr/lib/wine/wine ] || export WINELOADER=/usr/lib/wine/wine64
fi
SKELDA_LOCALE_ENV=()
if [ -d "$_prefix/../locale/zh_CN.UTF-8" ]; then
  SKELDA_LOCALE_ENV=(LOCPATH="$(cd "$_prefix/../locale" && pwd)" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
fi
unset _prefix _kind
skelda_wine() { env "${SKELDA_LOCALE_ENV[@]}" "$SKELDA_WINE_LOADER" "$@"; }
