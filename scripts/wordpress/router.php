<?php
// Router for PHP's built-in server: files of the private WordPress tree are
// served as they are, every other address goes to WordPress's front
// controller (pretty permalinks), and files that must not be fetched are hidden.
// On a subdirectory network (WP_LOCAL_NETWORK in the server's environment)
// the addresses of a site under its folder ("/site2/xmlrpc.php",
// "/site2/wp-content/...") reach the network's one tree, as WordPress's
// rewrite rules for such networks map them; WordPress then picks the site by
// the address it was asked at.

$path = rawurldecode( (string) parse_url( $_SERVER['REQUEST_URI'], PHP_URL_PATH ) );
$root = rtrim( $_SERVER['DOCUMENT_ROOT'], '/' );

function local_router_refused( $path ) {
	if ( false !== strpos( $path, "\0" ) || preg_match( '#(^|/)\.|/wp-config\.php$#', $path ) ) {
		http_response_code( 404 );
		return true;
	}
	// Uploads are data, never code.
	if ( preg_match( '#^/wp-content/uploads/.*\.(php[0-9]?|phtml|phar)$#i', $path ) ) {
		http_response_code( 403 );
		return true;
	}
	return false;
}

// A file under another address than its own, which the server cannot serve itself.
function local_router_send_file( $file ) {
	$types     = array(
		'css'   => 'text/css',
		'js'    => 'application/javascript',
		'png'   => 'image/png',
		'jpg'   => 'image/jpeg',
		'jpeg'  => 'image/jpeg',
		'gif'   => 'image/gif',
		'bmp'   => 'image/bmp',
		'tif'   => 'image/tiff',
		'tiff'  => 'image/tiff',
		'webp'  => 'image/webp',
		'svg'   => 'image/svg+xml',
		'woff2' => 'font/woff2',
	);
	$extension = strtolower( pathinfo( $file, PATHINFO_EXTENSION ) );
	header( 'Content-Type: ' . ( isset( $types[ $extension ] ) ? $types[ $extension ] : 'application/octet-stream' ) );
	header( 'Content-Length: ' . filesize( $file ) );
	readfile( $file );
}

if ( local_router_refused( $path ) ) {
	return true;
}

// For the TLS front's tests: the revocation list of the test authority, under
// a name of each start's own (no client's cache keeps an older list for it),
// and an address that sends the client from https down to plain http.
$crl = getenv( 'WP_LOCAL_CRL' );
if ( $crl && preg_match( '#^/crl/[0-9a-f]+\.crl$#', $path ) ) {
	if ( basename( $path ) !== basename( (string) getenv( 'WP_LOCAL_CRL_NAME' ) ) || ! is_file( $crl ) ) {
		http_response_code( 404 );
		return true;
	}
	header( 'Content-Type: application/pkix-crl' );
	header( 'Content-Length: ' . filesize( $crl ) );
	readfile( $crl );
	return true;
}
if ( preg_match( '#^/to-http(/.*)$#', $path, $down ) ) {
	$query = (string) parse_url( $_SERVER['REQUEST_URI'], PHP_URL_QUERY );
	header( 'Location: http://' . $_SERVER['HTTP_HOST'] . $down[1] . ( '' === $query ? '' : '?' . $query ), true, 302 );
	return true;
}

$file = $root . $path;
if ( is_file( $file ) ) {
	return false;
}
if ( is_dir( $file ) && is_file( rtrim( $file, '/' ) . '/index.php' ) ) {
	return false;
}

$script = '/index.php';
if ( getenv( 'WP_LOCAL_NETWORK' ) && preg_match( '#^/[_0-9a-zA-Z-]+(/.*)$#', $path, $site ) ) {
	$inner = $site[1];
	if ( '/wp-admin' === $inner ) {
		header( 'Location: ' . $path . '/', true, 301 );
		return true;
	}
	if ( preg_match( '#^/(wp-(content|admin|includes)(/.*)?|[^/]*\.php)$#', $inner ) ) {
		if ( local_router_refused( $inner ) ) {
			return true;
		}
		$target = $root . $inner;
		if ( is_dir( $target ) && is_file( rtrim( $target, '/' ) . '/index.php' ) ) {
			$inner  = rtrim( $inner, '/' ) . '/index.php';
			$target = $root . $inner;
		}
		if ( ! is_file( $target ) ) {
			http_response_code( 404 );
			return true;
		}
		if ( ! preg_match( '#\.php$#', $inner ) ) {
			local_router_send_file( $target );
			return true;
		}
		$script = $inner;
	}
}

// At the top level: WordPress's files take their variables for globals.
$_SERVER['SCRIPT_NAME']     = $script;
$_SERVER['PHP_SELF']        = $script;
$_SERVER['SCRIPT_FILENAME'] = $root . $script;
chdir( dirname( $root . $script ) );
require $root . $script;
