# The translations: each data/lang/<tag>.po is compiled (and checked) by msgfmt into
# <dir>/lang/<tag>.mo, which the program reads at start. cx_compile_catalogues(target dir).
find_program(CX_MSGFMT msgfmt REQUIRED)
file(GLOB CX_CATALOGUE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/lang/*.po)

function(cx_compile_catalogues target dir)
  set(outputs)
  foreach(po IN LISTS CX_CATALOGUE_SOURCES)
    get_filename_component(tag ${po} NAME_WE)
    add_custom_command(OUTPUT ${dir}/lang/${tag}.mo
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/lang
      COMMAND ${CX_MSGFMT} --check --output-file=${dir}/lang/${tag}.mo ${po}
      DEPENDS ${po} VERBATIM)
    list(APPEND outputs ${dir}/lang/${tag}.mo)
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
