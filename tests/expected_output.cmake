# What a user must see on standard output, byte for byte: the two lines,
# each ending as the platform's text mode ends a line (EOL: LF or CRLF).
# Included by the end-to-end and package checks; sets nl and expected_out.
if(EOL STREQUAL "CRLF")
  set(nl "\r\n")
else()
  set(nl "\n")
endif()
set(expected_out
  "p=0.426305732697498 is the approximated root${nl}exp(-2*p)-p=-0.000005523888897${nl}")
