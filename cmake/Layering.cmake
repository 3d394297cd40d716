# The allowed edges between subsystem folders come from the link lines: a folder may
# include from the folders of the zorq_ libraries it links, directly or through them.
# zorq_add_subsystem records each library's folder and links; zorq_layer records a
# target defined by hand (the plug-in entry points). zorq_write_layering_rules, called
# once every folder is known, writes the rules and registers the check with CTest.

function(zorq_layer library)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY ZORQ_LAYER_LIBRARIES ${library})
  set_property(GLOBAL PROPERTY ZORQ_LAYER_FOLDER_${library} "${folder}")
  set_property(GLOBAL PROPERTY ZORQ_LAYER_LINKS_${library} "${ARG_DEPENDS}")
endfunction()

# The folders `library` may include from: those of every zorq_ library it reaches.
function(zorq_layer_reach library out)
  set(reached)
  set(queue ${library})
  while(queue)
    list(POP_FRONT queue current)
    get_property(links GLOBAL PROPERTY ZORQ_LAYER_LINKS_${current})
    foreach(link IN LISTS links)
      if(link MATCHES "^zorq_" AND NOT link IN_LIST reached)
        list(APPEND reached ${link})
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(folders)
  foreach(link IN LISTS reached)
    get_property(folder GLOBAL PROPERTY ZORQ_LAYER_FOLDER_${link})
    if(folder)
      list(APPEND folders ${folder})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set(${out} "${folders}" PARENT_SCOPE)
endfunction()

function(zorq_write_layering_rules)
  get_property(libraries GLOBAL PROPERTY ZORQ_LAYER_LIBRARIES)
  set(lines)
  set(folders)
  foreach(library IN LISTS libraries)
    get_property(folder GLOBAL PROPERTY ZORQ_LAYER_FOLDER_${library})
    zorq_layer_reach(${library} allowed)
    # Libraries that share a folder share its edges.
    if(folder IN_LIST folders)
      list(APPEND allowed_${folder} ${allowed})
    else()
      list(APPEND folders ${folder})
      set(allowed_${folder} ${allowed})
    endif()
  endforeach()
  foreach(folder IN LISTS folders)
    list(REMOVE_DUPLICATES allowed_${folder})
    list(REMOVE_ITEM allowed_${folder} ${folder})
    string(REPLACE ";" "," allowed "${allowed_${folder}}")
    list(APPEND lines "${folder}=${allowed}")
  endforeach()
  list(JOIN lines "\n" text)
  set(rules ${PROJECT_BINARY_DIR}/layering-rules.txt)
  file(WRITE ${rules} "${text}\n")
  if(ZORQ_BUILD_TESTS)
    add_test(NAME Layering.IncludesFollowTheLinkLines
             COMMAND ${CMAKE_COMMAND} -DRULES=${rules} -DSOURCE=${PROJECT_SOURCE_DIR}/src
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake)
    # The check itself must catch the edge it exists to forbid: a gui file that
    # includes a platform header.
    set(fixture ${PROJECT_SOURCE_DIR}/tests/layering/forbidden)
    add_test(NAME Layering.RefusesAGuiFileThatIncludesThePlatform
             COMMAND ${CMAKE_COMMAND} -DRULES=${fixture}/rules.txt -DSOURCE=${fixture}/src
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake)
    set_tests_properties(Layering.RefusesAGuiFileThatIncludesThePlatform PROPERTIES
                         PASS_REGULAR_EXPRESSION "gui/Seam.h: includes \"platform/Window.h\": gui may not use platform")
  endif()
endfunction()
