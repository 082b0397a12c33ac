# Every relative link and picture of README.md and docs/*.md must lead
# somewhere: to a file that exists and, with a #fragment, to a heading of that
# page. Pages move and headings get renamed; a reader following a dead link
# from the front page learns nothing.
#
# Run: cmake -DSOURCE_DIR=<checkout> -P tests/doc_links.cmake
#
# Links in code (fenced blocks and `spans`) are examples, not links, and are
# left alone; so are links with a scheme (https:, mailto:). Headings become
# fragments as the usual Markdown hosts make them: lower case, punctuation
# dropped, spaces turned into hyphens, "-1", "-2" ... for repeats. Only ASCII
# letters and digits survive in a fragment here, so a heading's fragment must
# not depend on other letters.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<checkout> -P doc_links.cmake")
endif()

# CMake lists split at ";" and treat "[" and "]" specially even inside list
# items: the page text carries them under names of their own.
function(read_page path out)
  file(READ "${path}" text)
  string(REPLACE ";" "@KSC@" text "${text}")
  string(REPLACE "[" "@KLB@" text "${text}")
  string(REPLACE "]" "@KRB@" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The page without its fenced code blocks (``` lines pair up in order).
function(drop_fenced_code text out)
  set(kept "")
  while(TRUE)
    string(FIND "${text}" "```" open)
    if(open EQUAL -1)
      break()
    endif()
    string(SUBSTRING "${text}" 0 ${open} before)
    string(APPEND kept "${before}")
    math(EXPR after "${open} + 3")
    string(SUBSTRING "${text}" ${after} -1 text)
    string(FIND "${text}" "```" close)
    if(close EQUAL -1)
      set(text "")
      break()
    endif()
    math(EXPR after "${close} + 3")
    string(SUBSTRING "${text}" ${after} -1 text)
  endwhile()
  set(${out} "${kept}${text}" PARENT_SCOPE)
endfunction()

# The fragments a page's headings give, repeats numbered.
function(heading_fragments path out)
  read_page("${path}" text)
  drop_fenced_code("${text}" text)
  string(REGEX MATCHALL "(^|\n)#+ [^\n]*" headings "${text}")
  set(fragments "")
  foreach(heading IN LISTS headings)
    string(REGEX REPLACE "^\n?#+ +" "" heading "${heading}")
    string(REGEX REPLACE " +#*$" "" heading "${heading}")
    string(REGEX REPLACE "@K(SC|LB|RB)@" "" heading "${heading}")
    string(TOLOWER "${heading}" heading)
    string(REGEX REPLACE "[^a-z0-9 _-]" "" heading "${heading}")
    string(REPLACE " " "-" fragment "${heading}")
    set(candidate "${fragment}")
    set(repeat 0)
    while(candidate IN_LIST fragments)
      math(EXPR repeat "${repeat} + 1")
      set(candidate "${fragment}-${repeat}")
    endwhile()
    list(APPEND fragments "${candidate}")
  endforeach()
  set(${out} "${fragments}" PARENT_SCOPE)
endfunction()

file(GLOB pages "${SOURCE_DIR}/docs/*.md")
list(PREPEND pages "${SOURCE_DIR}/README.md")

set(broken 0)
set(checked 0)
foreach(page IN LISTS pages)
  file(RELATIVE_PATH page_name "${SOURCE_DIR}" "${page}")
  get_filename_component(page_dir "${page}" DIRECTORY)
  read_page("${page}" text)
  drop_fenced_code("${text}" text)
  string(REGEX REPLACE "`[^`\n]*`" "" text "${text}")
  # [text](target) and ![alt](target); a title after the target is not used here.
  string(REGEX MATCHALL "@KRB@\\([^)\n ]+\\)" links "${text}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^@KRB@\\((.*)\\)$" "\\1" target "${link}")
    if(target MATCHES "^[A-Za-z][A-Za-z0-9+.-]*:")
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    string(REGEX REPLACE "#.*$" "" target_path "${target}")
    set(fragment "")
    if(target MATCHES "#(.*)$")
      set(fragment "${CMAKE_MATCH_1}")
    endif()
    if(target_path STREQUAL "")
      set(target_file "${page}")
    else()
      set(target_file "${page_dir}/${target_path}")
    endif()
    if(NOT EXISTS "${target_file}")
      message("${page_name}: broken link '${target}': no such file")
      math(EXPR broken "${broken} + 1")
      continue()
    endif()
    if(NOT fragment STREQUAL "")
      heading_fragments("${target_file}" fragments)
      if(NOT fragment IN_LIST fragments)
        message("${page_name}: broken link '${target}': no heading gives '#${fragment}'")
        math(EXPR broken "${broken} + 1")
      endif()
    endif()
  endforeach()
endforeach()

if(broken GREATER 0)
  message(FATAL_ERROR "${broken} broken links of ${checked} relative links")
endif()
message("${checked} relative links, none broken")
