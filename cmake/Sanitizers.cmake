# SYNQUO_SANITIZE=address,undefined or thread: every target of a Linux build is compiled and
# linked with those sanitizers, so a test and the add-in, simulated NX and runner it loads or
# starts are checked alike. Any report ends the process: a finding fails its test.
set(SYNQUO_SANITIZE "" CACHE STRING "Sanitizers for every target (Linux): address,undefined or thread")

set(SYNQUO_SANITIZER_ENVIRONMENT)
if(SYNQUO_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=${SYNQUO_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${SYNQUO_SANITIZE})

  # A report exits with 86, a code no test or brevin-sim uses, so a test that expects a
  # failing run still fails on a report; children inherit the options.
  set(common "halt_on_error=1:exitcode=86")
  set(SYNQUO_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=${common}:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
    "UBSAN_OPTIONS=${common}:print_stacktrace=1"
    "LSAN_OPTIONS=exitcode=86"
    "TSAN_OPTIONS=${common}:second_deadlock_stack=1")
endif()

# Tests that run more than one thread of our code and never load the Go runtime (which the
# thread sanitizer cannot follow) carry the label "threads"; the thread-sanitizer build
# builds them through the target threaded-tests and runs them with `ctest -L threads`.
add_custom_target(threaded-tests)
function(synquo_threaded_tests)
  foreach(t ${ARGN})
    if(TARGET ${t})
      set_property(TEST ${t} APPEND PROPERTY LABELS threads)
      add_dependencies(threaded-tests ${t})
    endif()
  endforeach()
endfunction()
