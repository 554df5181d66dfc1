# Sourced with the prefix folder as argument: sets up the environment for one test prefix
# and defines skelda_wine, which runs Wine there. A Chinese locale gives Wine the ANSI
# code page 936, as on a Chinese Windows; it is compiled beside the prefixes by make-prefix.sh.
_prefix=$1
export WINEPREFIX="$_prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$_prefix/home"
export XDG_CONFIG_HOME="$_prefix/home/.config" XDG_DATA_HOME="$_prefix/home/.local/share"
SKELDA_LOCALE_ENV=()
if [ -d "$_prefix/../locale/zh_CN.UTF-8" ]; then
  SKELDA_LOCALE_ENV=(LOCPATH="$(cd "$_prefix/../locale" && pwd)" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
fi
unset _prefix
skelda_wine() { env "${SKELDA_LOCALE_ENV[@]}" wine "$@"; }
