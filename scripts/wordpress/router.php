<?php
// Router for PHP's built-in server: files of the private WordPress tree are
// served as they are, every other address goes to WordPress's front
// controller (pretty permalinks), and files that must not be fetched are hidden.

$path = rawurldecode( (string) parse_url( $_SERVER['REQUEST_URI'], PHP_URL_PATH ) );
$root = rtrim( $_SERVER['DOCUMENT_ROOT'], '/' );

if ( false !== strpos( $path, "\0" ) || preg_match( '#(^|/)\.|/wp-config\.php$#', $path ) ) {
	http_response_code( 404 );
	return true;
}
// Uploads are data, never code.
if ( preg_match( '#^/wp-content/uploads/.*\.(php[0-9]?|phtml|phar)$#i', $path ) ) {
	http_response_code( 403 );
	return true;
}

$file = $root . $path;
if ( is_file( $file ) ) {
	return false;
}
if ( is_dir( $file ) && is_file( rtrim( $file, '/' ) . '/index.php' ) ) {
	return false;
}

$_SERVER['SCRIPT_NAME']     = '/index.php';
$_SERVER['PHP_SELF']        = '/index.php';
$_SERVER['SCRIPT_FILENAME'] = $root . '/index.php';
chdir( $root );
require $root . '/index.php';
