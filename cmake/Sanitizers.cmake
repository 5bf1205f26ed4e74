# AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer for
# every target; any report ends the process, so a test that triggers one fails.
set(ZELLIB_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                           -fno-omit-frame-pointer)
add_compile_options(${ZELLIB_SANITIZER_FLAGS})
add_link_options(${ZELLIB_SANITIZER_FLAGS})
