#!/usr/bin/env bash
# Removes what scripts/demo.sh installed; the memory and the presets go only when asked, and are kept by default.
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: bash scripts/uninstall.sh [--remove-memory] [--remove-presets] [--keep]

Removes ~/.clap/Vorrel.clap, ~/.clap/Vorrel-fonts-LICENSE.txt and ~/.lv2/Vorrel.lv2.
Then, on a terminal, asks whether to remove your memory and your presets as well (the answer N keeps them).
Without a terminal they are kept.

  --remove-memory   also remove the memory: the data folder (memory.bin, saved memories, backups,
                    kept-aside files) and the shared-memory object /dev/shm/oa_vorrel_memory_u<uid>
  --remove-presets  also remove the configuration folder: presets.txt and the editor's language and tour markers
  --keep            ask nothing; keep whatever was not named by a --remove flag
EOF
}

memory=ask
presets=ask
keep=0
for arg in "$@"; do
  case "$arg" in
    --remove-memory) memory=yes ;;
    --remove-presets) presets=yes ;;
    --keep) keep=1 ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
if [ "$keep" = 1 ] || [ ! -t 0 ]; then
  [ "$memory" = ask ] && memory=no
  [ "$presets" = ask ] && presets=no
fi

# The same rules as the plug-in: HOME when it is absolute, else the account's home; an XDG variable counts only
# when it is an absolute path; without any home nothing was ever stored.
home="${HOME:-}"
if [[ "$home" != /* ]]; then
  home="$(getent passwd "$(id -u)" | cut -d: -f6 || true)"
  [[ "$home" == /* ]] || home=""
fi
xdg_dir() { # VARIABLE HOME-SUFFIX
  local value="${!1:-}"
  if [[ "$value" == /* ]]; then
    printf '%s/OskelAudio/Vorrel' "$value"
  elif [ -n "$home" ]; then
    printf '%s%s/OskelAudio/Vorrel' "$home" "$2"
  fi
}
data_dir="$(xdg_dir XDG_DATA_HOME /.local/share)"
config_dir="$(xdg_dir XDG_CONFIG_HOME /.config)"
uid="$(id -u)"
shm="/dev/shm/oa_vorrel_memory_u$uid"
old_shm="/dev/shm/oa_vorrel_memory"  # one object for every user, left by builds before the per-user memory

# Process ids (with names) of the programs that have PATH mapped (a directory: any file in it). Mappings are told
# by device and inode, as /proc/PID/maps shows them, so a program in another mount namespace with a file of the
# same name elsewhere does not count.
users_of() { # PATH
  local keys="" file major minor inode maps pid found=""
  while IFS= read -r -d '' file; do
    read -r major minor inode < <(stat -L -c '%Hd %Ld %i' -- "$file") || continue
    keys+="$(printf '%02x:%02x %s' "$major" "$minor" "$inode")|"
  done < <(find -L "$1" -type f -print0 2>/dev/null)
  [ -n "$keys" ] || return 0
  for maps in /proc/[0-9]*/maps; do
    pid="${maps#/proc/}"
    pid="${pid%/maps}"
    if awk -v keys="|$keys" 'index(keys, "|" $4 " " $5 "|") { found = 1; exit } END { exit !found }' "$maps" \
      2>/dev/null; then
      found+=" $pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo '?'))"
    fi
  done
  printf '%s' "$found"
}

present() { [ -e "$1" ] || [ -L "$1" ]; }

remove_path() { # PATH
  if present "$1"; then
    rm -rf -- "$1"
    echo "removed  $1"
  else
    echo "absent   $1"
  fi
}

keep_path() { # PATH WHAT
  if present "$1"; then echo "kept     $1 ($2)"; else echo "absent   $1"; fi
}

ask() { # QUESTION -> 0 for yes
  local answer=""
  read -r -p "$1 [y/N] " answer || true
  [[ "$answer" == [yY]* ]]
}

# 1. What the main command installed, under $HOME exactly as it put it there.
plugin_home="${HOME:-$home}"
if [ -z "$plugin_home" ]; then
  echo "No home directory: nothing was installed and nothing was stored." >&2
  exit 1
fi
for path in "$plugin_home/.clap/Vorrel.clap" "$plugin_home/.lv2/Vorrel.lv2"; do
  running="$(users_of "$path")"
  [ -n "$running" ] && echo "note     $path is loaded in$running, which keeps its copy until it quits"
done
remove_path "$plugin_home/.clap/Vorrel.clap"
remove_path "$plugin_home/.clap/Vorrel-fonts-LICENSE.txt"
remove_path "$plugin_home/.lv2/Vorrel.lv2"

# 2. The memory: the files and the shared-memory object go together, or the object would write them back.
if [ "$memory" = ask ] && ! { [ -n "$data_dir" ] && present "$data_dir"; } && ! present "$shm"; then
  memory=no  # nothing to ask about
fi
if [ "$memory" = ask ]; then
  saved=0
  [ -n "$data_dir" ] && [ -d "$data_dir/memories" ] && saved="$(find "$data_dir/memories" -maxdepth 1 -name '*?.bin' | wc -l)"
  if ask "Remove your memory too ($data_dir: memory.bin and $saved saved memories and backups; $shm)?"; then
    memory=yes
  else
    memory=no
  fi
fi
if [ "$memory" = yes ]; then
  # A running Vorrel would write the files back from its object at its next save.
  running="$(users_of "$shm")"
  if [ -O "$old_shm" ]; then running+="$(users_of "$old_shm")"; fi
  if [ -n "$running" ]; then
    echo "kept     ${data_dir:-data folder} and $shm: the memory is open in$running; close those programs and run again"
  else
    if [ -n "$data_dir" ]; then remove_path "$data_dir"; else echo "absent   data folder (no home directory)"; fi
    remove_path "$shm"
    if [ -O "$old_shm" ]; then remove_path "$old_shm"; fi
  fi
else
  if [ -n "$data_dir" ]; then keep_path "$data_dir" "the memory"; fi
  keep_path "$shm" "the live memory; a restart of the computer clears it"
fi

# 3. Presets and the editor's markers.
if [ "$presets" = ask ] && ! { [ -n "$config_dir" ] && present "$config_dir"; }; then
  presets=no
fi
if [ "$presets" = ask ]; then
  if ask "Remove your presets and editor settings too ($config_dir)?"; then presets=yes; else presets=no; fi
fi
if [ "$presets" = yes ]; then
  if [ -n "$config_dir" ]; then remove_path "$config_dir"; else echo "absent   configuration folder (no home directory)"; fi
elif [ -n "$config_dir" ]; then
  keep_path "$config_dir" "presets and editor settings"
fi

# The vendor folders above ours go too when nothing else is left in them.
for dir in "$data_dir" "$config_dir"; do
  if [ -n "$dir" ] && [ ! -e "$dir" ]; then rmdir -- "$(dirname "$dir")" 2>/dev/null || true; fi
done
