# Folds the module, the styles, the script and the shipped examples into
# page.html: one file.
file(READ ${DIR}/page.html page)
file(READ ${DIR}/page.css style)
file(READ ${DIR}/page.js app)
file(READ ${MODULE} module)

# The examples as a JSON array of {name, text}, safe inside a script element
# (text files: no control characters but tabs and line ends).
file(GLOB files ${EXAMPLES}/*.txt)
list(SORT files)
set(examples "")
set(sep "")
foreach(file IN LISTS files)
  file(READ ${file} text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\r" "\\r" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  string(REPLACE "<" "\\u003c" text "${text}")
  get_filename_component(name ${file} NAME)
  string(APPEND examples "${sep}{\"name\": \"${name}\", \"text\": \"${text}\"}")
  set(sep ",\n")
endforeach()

string(REPLACE "/* DEVCAP_STYLE */" "${style}" page "${page}")
string(REPLACE "/* DEVCAP_MODULE */" "${module}" page "${page}")
string(REPLACE "/* DEVCAP_APP */" "${app}" page "${page}")
string(REPLACE "/* DEVCAP_EXAMPLES */" "[${examples}]" page "${page}")
file(WRITE ${OUT} "${page}")
