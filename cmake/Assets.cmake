# The built-in assets: made by tools/assetgen into the build tree, embedded
# by the Windows resource script or, in the Linux program, by
# src/scene/linux/embedded_assets.S.in.
set(CUBESAVER_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
set(CUBESAVER_ASSET_NAMES
    CHROME.TEX SKY.TEX DEFAULT.TEX FONT1-A.TEX
    PCUBE0.MSH PCUBE1.MSH PCUBE2.MSH PCUBE3.MSH PCUBE4.MSH PCUBE5.MSH CUBE2.MSH)
