# Writes a text file of the source tree as a built-in block: every line
# ended by CR LF, whatever the checkout did to the line ends.
#   cmake -DINPUT=... -DOUTPUT=... -P crlf.cmake
file(READ ${INPUT} content)
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
file(WRITE ${OUTPUT} "${content}")
