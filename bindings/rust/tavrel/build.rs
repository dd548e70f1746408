// Where the linker finds TavrelC.lib: the SDK's <arch>/lib folder, named by
// TAVREL_LIB_DIR (else the linker's own search path must hold it).
fn main() {
    println!("cargo:rerun-if-env-changed=TAVREL_LIB_DIR");
    if let Some(dir) = std::env::var_os("TAVREL_LIB_DIR") {
        println!("cargo:rustc-link-search=native={}", dir.to_string_lossy());
    }
}
