# The third-party libraries as the project's libraries link them: Tilmar::<P>
# for each pkg-config result <P> found in the top CMakeLists.txt. Which files
# a program gets is chosen per program, not per library, so the project's
# libraries are built once for every program:
#  - by default the shared libraries, through PkgConfig::<P>;
#  - for a program whose TILMAR_LINK_STATIC property is true, the static
#    archives the Debian -dev packages ship (TilmarStatic::<archive>), each
#    followed by what `pkg-config --static` says it needs. What has no
#    archive in that set (SDL's X11, sound-server, ALSA and libcaca
#    libraries, threads, the loader library, libc) stays shared.

function(_tilmar_third_party_targets)
    # Archive name (lib<name>.a) and the pkg-config module that describes it.
    set(archives
        SDL sdl
        vorbisfile vorbisfile
        vorbis vorbis
        ogg ogg
        z zlib
        minizip minizip
        jpeg libjpeg
        png16 libpng16
        lua5.1 lua5.1)

    set(archive_names "")
    set(archive_ids "")
    list(LENGTH archives count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET archives ${i} name)
        list(GET archives ${j} module)
        string(MAKE_C_IDENTIFIER "${name}" id)
        pkg_check_modules(TILMAR_ARCHIVE_${id} REQUIRED QUIET ${module})
        find_library(TILMAR_ARCHIVE_${id}_FILE NAMES lib${name}.a
            HINTS ${TILMAR_ARCHIVE_${id}_STATIC_LIBRARY_DIRS} REQUIRED)
        add_library(TilmarStatic::${name} STATIC IMPORTED)
        set_target_properties(TilmarStatic::${name} PROPERTIES
            IMPORTED_LOCATION "${TILMAR_ARCHIVE_${id}_FILE}"
            INTERFACE_INCLUDE_DIRECTORIES "${TILMAR_ARCHIVE_${id}_INCLUDE_DIRS}"
            INTERFACE_COMPILE_OPTIONS "${TILMAR_ARCHIVE_${id}_CFLAGS_OTHER}")
        list(APPEND archive_names ${name})
        list(APPEND archive_ids ${id})
    endforeach()

    # What each archive needs, archives of the set by their targets so that the
    # link line orders them, everything else by name as a shared library.
    foreach(name id IN ZIP_LISTS archive_names archive_ids)
        set(needs "")
        foreach(lib IN LISTS TILMAR_ARCHIVE_${id}_STATIC_LIBRARIES)
            if(lib STREQUAL name)
                continue()
            elseif(lib IN_LIST archive_names)
                list(APPEND needs TilmarStatic::${lib})
            elseif(lib STREQUAL "pthread")
                list(APPEND needs Threads::Threads)
            else()
                list(APPEND needs ${lib})
            endif()
        endforeach()
        list(REMOVE_DUPLICATES needs)
        set(options ${TILMAR_ARCHIVE_${id}_STATIC_LDFLAGS_OTHER})
        list(REMOVE_DUPLICATES options)
        set_target_properties(TilmarStatic::${name} PROPERTIES
            INTERFACE_LINK_LIBRARIES "${needs}"
            INTERFACE_LINK_OPTIONS "${options}")
    endforeach()

    # In a link interface the one-argument TARGET_PROPERTY reads the program
    # being linked, not the library that lists Tilmar::<P>.
    set(is_static "$<BOOL:$<TARGET_PROPERTY:TILMAR_LINK_STATIC>>")
    foreach(prefix SDL VORBISFILE LUA51 MINIZIP ZLIB JPEG PNG)
        set(links "$<$<NOT:${is_static}>:PkgConfig::${prefix}>")
        foreach(lib IN LISTS ${prefix}_STATIC_LIBRARIES)
            if(lib IN_LIST archive_names)
                list(APPEND links "$<${is_static}:TilmarStatic::${lib}>")
            endif()
        endforeach()
        list(REMOVE_DUPLICATES links)
        add_library(Tilmar::${prefix} INTERFACE IMPORTED)
        set_target_properties(Tilmar::${prefix} PROPERTIES INTERFACE_LINK_LIBRARIES "${links}")
    endforeach()
endfunction()
_tilmar_third_party_targets()
