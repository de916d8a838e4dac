# cmake -DPROGRAM=<tessel> -DOUTPUT=<tessel.1> -P TesselManPage.cmake
# Writes the man page of the tessel command from what the command itself prints for --help,
# for each subcommand's --help and for --version. The help texts keep their own layout.

function(run_program out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} failed: ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# roff takes a backslash as an escape and a leading dot or quote as a request; a plain "-" may
# be typeset as a hyphen, which breaks options copied from the page.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# One help text: its first line is the summary, "Usage:" the synopsis, the rest verbatim.
macro(read_help prefix)
  run_program(help ${ARGN} --help)
  string(REGEX MATCH "^[^\n]*" ${prefix}_summary "${help}")
  string(REGEX MATCH "\nUsage: ([^\n]*)" usage "${help}")
  set(${prefix}_usage "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^[^\n]*\nUsage: [^\n]*\n+" "" ${prefix}_body "${help}")
  roff_text(${prefix}_summary "${${prefix}_summary}")
  roff_text(${prefix}_usage "${${prefix}_usage}")
  roff_text(${prefix}_body "${${prefix}_body}")
endmacro()

run_program(version --version)
string(REGEX MATCH "^[^\n]*" name_version "${version}")
roff_text(version "${version}")
read_help(main)
read_help(snr snr)
read_help(analyze analyze)
string(REGEX REPLACE "\\.$" "" name_summary "${main_summary}")

file(WRITE ${OUTPUT}
     ".TH TESSEL 1 \"\" \"${name_version}\" \"User Commands\"\n"
     ".SH NAME\ntessel \\- ${name_summary}\n"
     ".SH SYNOPSIS\n.nf\n${main_usage}\n${snr_usage}\n${analyze_usage}\n.fi\n"
     ".SH DESCRIPTION\n.nf\n${main_body}.fi\n"
     ".SH \"tessel snr\"\n${snr_summary}\n.PP\n.nf\n${snr_body}.fi\n"
     ".SH \"tessel analyze\"\n${analyze_summary}\n.PP\n.nf\n${analyze_body}.fi\n"
     ".SH VERSION\n.nf\n${version}.fi\n")
