module tavrel_go_host

go 1.19

require tavrel v0.0.0

// The test run points this at the unpacked SDK's copy of the bindings.
replace tavrel => ../../bindings/go/tavrel
