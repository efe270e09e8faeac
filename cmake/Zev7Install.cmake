# What `cmake --install` puts under the prefix: the programs in bin; the help pages and the demo
# scenario in share/zev7; the menu entry, the icon, the manual pages and the copyright under
# share. An installed program finds its help through share/zev7 and keeps its working folders in
# the user's data folder (core/program_dir.cpp).
set(ZEV7_PROGRAMS zev7 zev7-run zev7-scn zev7-db zev7-dbgen)
if(TARGET zev7-sim)
    list(APPEND ZEV7_PROGRAMS zev7-sim)
endif()
set(ZEV7_DATA_DIR ${CMAKE_INSTALL_DATADIR}/zev7)
set(ZEV7_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zev7)
# Made at build time, outside bin's parent, so that the build tree never looks installed.
set(ZEV7_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
# Named in the changelog and in the package (Zev7Package.cmake).
set(ZEV7_MAINTAINER "ZEV7 developers <zev7-dev@example.org>"
    CACHE STRING "The package's maintainer: name <address>")

install(TARGETS ${ZEV7_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${ZEV7_DATA_DIR}/help)
install(FILES ${packaging}/zev7.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/zev7.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging}/copyright DESTINATION ${ZEV7_DOC_DIR})

# The demo scenario of ./zev7.sh run, with a start window open until 2099 so that it runs
# whenever it is tried: outgoing 1111111 calls 2222222, 5 to 20 test calls.
set(demo ${ZEV7_PACKAGING_DIR}/demo.scn)
add_custom_command(OUTPUT ${demo}
    COMMAND zev7-scn new ${demo}
    COMMAND zev7-scn set ${demo} "baseTime=01.01.2026 00:00"
    COMMAND zev7-scn set-out ${demo} -/-/-/-/-/1111111/-
    COMMAND zev7-scn add-cycle ${demo} -/-/-/-/-/2222222/-
    COMMAND zev7-scn set ${demo} --cycle 1 minAttempts=5 maxAttempts=20
            "startUntil=31.12.2099 23:59"
    DEPENDS zev7-scn
    COMMENT "Demo scenario"
    VERBATIM)
set(made ${demo})
install(FILES ${demo} DESTINATION ${ZEV7_DATA_DIR})

# The Debian changelog, compressed as Debian wants it (no name, no time stamp).
configure_file(${packaging}/changelog.in ${ZEV7_PACKAGING_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${ZEV7_PACKAGING_DIR}/changelog.gz
    COMMAND gzip -9nf -k ${ZEV7_PACKAGING_DIR}/changelog
    DEPENDS ${ZEV7_PACKAGING_DIR}/changelog
    VERBATIM)
list(APPEND made ${ZEV7_PACKAGING_DIR}/changelog.gz)
install(FILES ${ZEV7_PACKAGING_DIR}/changelog.gz DESTINATION ${ZEV7_DOC_DIR})

# The icon in the sizes the desktops' menus and panels ask for.
find_program(ZEV7_RSVG_CONVERT rsvg-convert)
if(ZEV7_RSVG_CONVERT)
    foreach(size 16 24 32 48 64 128 256)
        set(png ${ZEV7_PACKAGING_DIR}/icons/${size}x${size}/zev7.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${ZEV7_PACKAGING_DIR}/icons/${size}x${size}
            COMMAND ${ZEV7_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/zev7.svg
            DEPENDS ${packaging}/zev7.svg
            VERBATIM)
        list(APPEND made ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(WARNING "rsvg-convert (librsvg2-bin) not found: the icon is installed as SVG only")
endif()

# Manual pages made of each program's --help by help2man.
find_program(ZEV7_HELP2MAN help2man)
set(ZEV7_MAN_zev7 "ВЕРСА-ТЛ: измерение коэффициента потерь вызовов телефонной сети")
set(ZEV7_MAN_zev7-run "исполнение сценариев портов без окон")
set(ZEV7_MAN_zev7-scn "подготовка и просмотр файлов сценариев")
set(ZEV7_MAN_zev7-sim "симулятор измерительных модемов и телефонной сети")
set(ZEV7_MAN_zev7-db "обслуживание базы результатов без окон")
set(ZEV7_MAN_zev7-dbgen "заполнение базы результатов сгенерированными циклами")
if(ZEV7_HELP2MAN)
    foreach(program ${ZEV7_PROGRAMS})
        set(page ${ZEV7_PACKAGING_DIR}/man/${program}.1)
        set(others ${ZEV7_PROGRAMS})
        list(REMOVE_ITEM others ${program})
        list(TRANSFORM others APPEND "(1)")
        list(JOIN others ", " others)
        # help2man reads its include file as UTF-8 (a --name argument it would not).
        file(WRITE ${page}.h2m
             "[name]\n${program} \\- ${ZEV7_MAN_${program}}\n[see also]\n${others}\n")
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${ZEV7_HELP2MAN} --locale=C.UTF-8 --no-info --section=1
                    --version-string=${PROJECT_VERSION} --source=ZEV7 --include=${page}.h2m
                    --output=${page} $<TARGET_FILE:${program}>
            COMMAND gzip -9nf ${page}
            DEPENDS ${program} ${page}.h2m
            COMMENT "Manual page ${program}.1"
            VERBATIM)
        list(APPEND made ${page}.gz)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
else()
    message(WARNING "help2man not found: no manual pages")
endif()

add_custom_target(zev7_install_data ALL DEPENDS ${made})
