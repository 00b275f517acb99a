# The installer's layout of Brimsafe in the current Wine prefix (sourced after
# wine.sh): Install.exe puts the program folder, the settings values, the
# uninstall entry, the file associations and the shortcuts in place, as a
# user's install would; the help file goes where the program opens it and into
# the install folder, where the uninstaller removes it.
BRIM_INSTALL_FOLDER='C:\Program Files\Quarrendel\Brimsafe'

# The Unix path of the install folder in the current prefix.
brim_install_dir() { echo "$WINEPREFIX/drive_c/Program Files/Quarrendel/Brimsafe"; }

# Lays the build's programs out; non-zero (with a message) when Install.exe fails.
brim_install_layout() {
  local status=0
  brim_wine "$BRIM_BUILD/bin/Install.exe" "$BRIM_INSTALL_FOLDER" </dev/null || status=$?
  if [ "$status" != 0 ]; then
    echo "Install.exe could not lay Brimsafe out (exit code $status)" >&2
    return 1
  fi
  local help_file="$BRIM_BUILD/bin/BRIMSAFEHELP.HLP"
  if [ -f "$help_file" ]; then
    mkdir -p "$WINEPREFIX/drive_c/QZ/Corvanta Pro/CorvantaHelp"
    cp "$help_file" "$WINEPREFIX/drive_c/QZ/Corvanta Pro/CorvantaHelp/"
    cp "$help_file" "$(brim_install_dir)/"
  fi
}
