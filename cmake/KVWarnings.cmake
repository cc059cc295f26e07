# Compiler warnings and sanitizers shared by every target of the project.
add_compile_options(-Wall -Wextra -Wno-multichar -Wnon-virtual-dtor -Wno-unused-parameter)
if(KV_WERROR)
	add_compile_options(-Werror)
endif()

if(KV_SANITIZE STREQUAL "address")
	add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
		-fno-sanitize-recover=undefined)
	add_link_options(-fsanitize=address,undefined)
elseif(KV_SANITIZE STREQUAL "thread")
	add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
	add_link_options(-fsanitize=thread)
elseif(NOT KV_SANITIZE STREQUAL "")
	message(FATAL_ERROR "KV_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(KV_FUZZ)
	add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
	add_link_options(-fsanitize=address,undefined)
endif()

# kv_program(target): marks a target as program code. Program code sees only the
# kit headers of the kits it links; the layering test greps for platform headers.
function(kv_program target)
	target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
