# Compiler warnings and sanitizers shared by every target of the project.
add_compile_options(-Wall -Wextra -Wno-multichar -Wnon-virtual-dtor)
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

# kv_forbid_links(target FORBIDDEN...): fails the configure step when target links, directly
# or through another library, one of the forbidden libraries, so the dependency direction
# of the programs cannot erode unnoticed.
function(kv_forbid_links target)
	set(pending ${target})
	set(seen "")
	while(pending)
		list(POP_FRONT pending current)
		if(current IN_LIST seen OR NOT TARGET ${current})
			continue()
		endif()
		list(APPEND seen ${current})
		if(current IN_LIST ARGN)
			message(FATAL_ERROR "${target} must not link ${current}")
		endif()
		get_target_property(links ${current} LINK_LIBRARIES)
		get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
		foreach(link IN LISTS links interface)
			if(link AND NOT link MATCHES "-NOTFOUND$")
				string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
				list(APPEND pending ${link})
			endif()
		endforeach()
	endwhile()
endfunction()
