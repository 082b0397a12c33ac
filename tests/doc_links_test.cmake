# The link check itself: on a made-up checkout it must name exactly the dead
# links and pictures, and pass a checkout whose links all lead somewhere.
# A check that never fails would let every moved page go unnoticed.
#
# Run: cmake -DCHECK=<doc_links.cmake> -DWORK_DIR=<empty folder> -P doc_links_test.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT CHECK OR NOT WORK_DIR)
  message(FATAL_ERROR "usage: cmake -DCHECK=<doc_links.cmake> -DWORK_DIR=<folder> -P doc_links_test.cmake")
endif()

set(failures 0)
function(failed what)
  message("FAILED: ${what}\n${check_output}")
  math(EXPR count "${failures} + 1")
  set(failures ${count} PARENT_SCOPE)
endfunction()

# Fails unless the last check's output holds `text`.
function(expect_said text)
  string(FIND "${check_output}" "${text}" at)
  if(at EQUAL -1)
    failed("the check says \"${text}\"")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

# Runs the check on a checkout with the given front page and docs/guide.md;
# sets check_status and check_output.
function(run_check name readme guide)
  set(checkout "${WORK_DIR}/${name}")
  file(REMOVE_RECURSE "${checkout}")
  file(MAKE_DIRECTORY "${checkout}/docs")
  file(WRITE "${checkout}/README.md" "${readme}")
  file(WRITE "${checkout}/docs/guide.md" "${guide}")
  file(WRITE "${checkout}/docs/picture.png" "")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${checkout} -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(check_status "${status}" PARENT_SCOPE)
  set(check_output "${out}${err}" PARENT_SCOPE)
endfunction()

set(guide [=[
# The guide

## First steps

## The window's keys (Alt+F4, Escape)

## First steps

Back to [the front page](../README.md#getting-it), a [picture](picture.png),
[this page's second "First steps"](#first-steps-1).
]=])

# Every kind of link that leads somewhere, and links in code that lead nowhere.
set(good_readme [=[
# Front page

## Getting it

[Guide](docs/guide.md), [keys](docs/guide.md#the-windows-keys-altf4-escape),
![A picture](docs/picture.png), [here](#getting-it), [web](https://example.com/x.md),
[mail](mailto:someone@example.com).

```sh
echo "[not a link](missing-in-a-code-block.md)"
```

  ```text
  [also not](missing-in-an-indented-block.md)
  ```

`[not a link either](missing-in-a-span.md)`; a [bracket] alone; a semicolon; done.
]=])
run_check(good "${good_readme}" "${guide}")
if(NOT check_status EQUAL 0)
  failed("a checkout whose links all resolve passes")
endif()
expect_said("7 relative links, none broken")

# One dead link of each kind, beside good ones.
set(broken_readme [=[
# Front page

## Getting it

[Guide](docs/guide.md), [gone](docs/gone.md), ![Lost](docs/lost.png),
[no such heading](docs/guide.md#last-steps), [here](#nowhere).
]=])
run_check(broken "${broken_readme}" "${guide}")
if(check_status EQUAL 0)
  failed("a dead link fails the check")
endif()
foreach(line IN ITEMS
    "README.md: broken link 'docs/gone.md': no such file"
    "README.md: broken link 'docs/lost.png': no such file"
    "README.md: broken link 'docs/guide.md#last-steps': no heading gives '#last-steps'"
    "README.md: broken link '#nowhere': no heading gives '#nowhere'"
    "4 broken links of 8 relative links")
  expect_said("${line}")
endforeach()
string(FIND "${check_output}" "docs/guide.md'" good_named)
if(NOT good_named EQUAL -1)
  failed("a good link is not named")
endif()

# A dead link in a page of docs/ is found too, named by that page.
run_check(in_docs "[Guide](docs/guide.md)\n" "[Away](away.md)\n")
expect_said("docs/guide.md: broken link 'away.md': no such file")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} failed")
endif()
message("link check: every case passed")
