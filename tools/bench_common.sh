# What the bench's shell parts share; sourced.

# start_program FOLDER: FOLDER's zinnow.exe started in FOLDER, its process in $started, returning
# once its window is shown (false after 30 s without it).
start_program() {
  (cd "$1" && exec wine zinnow.exe >/dev/null 2>&1 </dev/null) &
  started=$!
  local i
  for ((i = 0; i < 300; i++)); do
    xdotool search --onlyvisible --name '^Quorrel$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
