# Folds the module, the styles and the script into page.html: one file.
file(READ ${DIR}/page.html page)
file(READ ${DIR}/page.css style)
file(READ ${DIR}/page.js app)
file(READ ${MODULE} module)
string(REPLACE "/* DEVCAP_STYLE */" "${style}" page "${page}")
string(REPLACE "/* DEVCAP_MODULE */" "${module}" page "${page}")
string(REPLACE "/* DEVCAP_APP */" "${app}" page "${page}")
file(WRITE ${OUT} "${page}")
