module tavrel

go 1.19
