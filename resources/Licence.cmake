# cmake -DOUT=file -DA=file -DB=file -P Licence.cmake: the fonts' licence texts, one after the other, in one file.
set(text "The fonts compiled into Vorrel are subsets of Fira Sans Condensed and Fira Mono:\n")
foreach(f IN ITEMS ${A} ${B})
  file(READ ${f} part)
  string(APPEND text "\n${part}")
endforeach()
file(WRITE ${OUT} "${text}")
