# Sounds generated with sox at build time: no audio is kept in the sources.
find_program(KOB_SOX sox)

# kob_sounds(TARGET OUTDIR
#            NAME "sox output format options" "sox effects" ...)
# Adds TARGET (built by default) making OUTDIR/NAME.wav for every triple.
function(kob_sounds target outdir)
  if(NOT KOB_SOX)
    message(WARNING "sox not found: ${target} is not generated (scripts/install-deps.sh installs it)")
    return()
  endif()
  set(outputs)
  set(args ${ARGN})
  list(LENGTH args count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR fi "${i} + 1")
    math(EXPR ei "${i} + 2")
    list(GET args ${i} name)
    list(GET args ${fi} format)
    list(GET args ${ei} effects)
    separate_arguments(format_list UNIX_COMMAND "${format}")
    separate_arguments(effects_list UNIX_COMMAND "${effects}")
    set(file ${outdir}/${name}.wav)
    add_custom_command(OUTPUT ${file}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}
      COMMAND ${KOB_SOX} -n ${format_list} ${file} ${effects_list}
      COMMENT "sox: ${name}.wav"
      VERBATIM)
    list(APPEND outputs ${file})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
