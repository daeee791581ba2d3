# The runner of the case table (cases.txt, which also describes the drivers). Source it after a
# driver and call run_cases FILE in a started session, or run it as a script:
#   cases.sh DRIVER ARGS...    sources xsession.sh and DRIVER, driver_start ARGS, runs cases.txt,
#                              closes the window

trim() {
  local text=$1
  text=${text#"${text%%[![:space:]]*}"}
  printf '%s' "${text%"${text##*[![:space:]]}"}"
}

# Runs one step of the table.
run_step() {
  local verb=${1%% *} rest="" how
  [[ $1 == *" "* ]] && rest=${1#* }
  case $verb in
    start) ;;
    type) type_text "$rest" ;;
    key) read -r -a keys <<<"$rest" && send_keys "${keys[@]}" ;;
    click) click_field "${rest#Text}" ;;
    focus) expect_focus "$rest" ;;
    paste)
      how=${rest%% *}
      printf '%s' "${rest#* }" >"$XSESSION_DIR/paste"
      # The program must be done with what came before: a select-all of its own may take the
      # clipboard's place in the meantime.
      driver_sync
      claim_clipboard "$XSESSION_DIR/paste"
      case $how in
        ctrl+v | shift+Insert) send_keys "$how" ;;
        menu)
          click_field 1 3
          driver_sync # the menu is open
          send_keys p
          ;;
        *) fail "unknown way to paste: $how" ;;
      esac
      ;;
    *) fail "unknown step: $1" ;;
  esac
}

# Runs the steps of FILE in order, checking the fields where a line names them.
run_cases() {
  local file=$1 line step expected t1 t2 t3 number=0
  while IFS= read -r line || [[ -n $line ]]; do
    ((number += 1))
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    step=$(trim "${line%%" | "*}")
    echo "line $number: $step"
    run_step "$step"
    [[ $line == *" | "* ]] || continue
    expected=${line#*" | "}
    t1=$(trim "${expected%%" | "*}")
    expected=${expected#*" | "}
    t2=$(trim "${expected%%" | "*}")
    t3=$(trim "${expected#*" | "}")
    [[ $t1 == '""' ]] && t1=
    [[ $t2 == '""' ]] && t2=
    [[ $t3 == '""' ]] && t3=
    read_until "$XSESSION_DIR/line$number" fields_equal "$t1" "$t2" "$t3"
  done <"$file"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  set -euo pipefail
  here=$(dirname "$0")
  source "$here/xsession.sh"
  source "$1"
  shift
  driver_start "$@"
  run_cases "$here/cases.txt"
  close_window
  echo "PASS"
fi
