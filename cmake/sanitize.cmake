# SPDX-License-Identifier: MIT
# AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer over every target, so that
# the test suite runs on instrumented code. Undefined behaviour stops the program like a memory
# error does, so that no report can scroll by in a passing test.
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
# Lets the slowest tests choose a smaller scale for the instrumented run.
add_compile_definitions(TESSORY_SANITIZED)

# Reports need file and line, not full debug information; -O0 halves the instrumented build and
# costs the tests little, as their time goes into Qt and the driver, which are not instrumented.
add_compile_options(-O0 $<IF:$<CXX_COMPILER_ID:Clang>,-gline-tables-only,-g1>)

# How the test programs run: every report fails the test, leaks are looked for at exit, and the
# suppressions name only leaks inside libraries that are not ours.
set(TESSORY_SANITIZER_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/cmake/lsan.supp)
set(TESSORY_TEST_ENVIRONMENT
    "ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
    "LSAN_OPTIONS=suppressions=${TESSORY_SANITIZER_SUPPRESSIONS}:print_suppressions=0"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
